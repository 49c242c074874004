// What the main window shows for each scan verdict. The window keeps its translatable texts as
// hidden menu items; these are their default captions.
#pragma once

#include "detect/scandriver.h"

namespace kestrova::app {

// The verdict area's text after a scan that found nothing but could not look everywhere: it
// must not read as a clean machine.
inline constexpr char kConstScanIncompleteCaption[] = "The check could not run completely";

enum class TVerdictLayout { vlClean, vlDetected, vlIncomplete };

constexpr TVerdictLayout VerdictLayout(detect::TScanVerdict verdict) {
  return verdict == detect::TScanVerdict::svFound        ? TVerdictLayout::vlDetected
         : verdict == detect::TScanVerdict::svIncomplete ? TVerdictLayout::vlIncomplete
                                                         : TVerdictLayout::vlClean;
}

}  // namespace kestrova::app
