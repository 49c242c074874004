// The system's own object namespace: on Windows (Wine included) the walk reads it for real and
// sees a mutex and an event this test creates; on Linux there is none to read.
#include <gtest/gtest.h>

#include "detect/namespacewalk.h"
#include "detect/tables.h"
#include "platform/objectnamespace.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestrova::detect {
namespace {

#ifdef _WIN32
TEST(SystemNamespace, TheWalkSeesRealObjectsAndPlantedOnes) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, "kestrova-test-mutex");
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, "kestrova-test-event");
  ASSERT_NE(mutex, nullptr);
  ASSERT_NE(event, nullptr);
  SignatureTable = std::make_unique<TSignatureTable>();
  ObjectTable = std::make_unique<TObjectTable>();
  EXPECT_TRUE(WalkObjectNamespace(platform::SystemObjectNamespace()));
  int devices = 0, links = 0, linksWithTarget = 0;
  bool sawMutex = false, sawEvent = false;
  for (const auto& o : *ObjectTable) {
    devices += o->Kind == okDevice;
    links += o->Kind == okSymbolicLink;
    linksWithTarget += o->Kind == okSymbolicLink && !o->Target.empty();
    sawMutex |= o->Kind == okMutant && o->Name == "kestrova-test-mutex";
    sawEvent |= o->Kind == okEvent && o->Name == "kestrova-test-event";
    EXPECT_EQ(o->Hit, 0) << o->Dir << " " << o->Name << ": a clean system marks nothing";
  }
  EXPECT_GT(devices, 0);
  EXPECT_GT(linksWithTarget, 0);
  EXPECT_TRUE(sawMutex);
  EXPECT_TRUE(sawEvent);
  SignatureTable.reset();
  ObjectTable.reset();
  CloseHandle(mutex);
  CloseHandle(event);
}
#else
TEST(SystemNamespace, LinuxHasNoneToWalk) {
  ObjectTable = std::make_unique<TObjectTable>();
  EXPECT_FALSE(WalkObjectNamespace(platform::SystemObjectNamespace()));
  EXPECT_TRUE(ObjectTable->empty());
  ObjectTable.reset();
}
#endif

}  // namespace
}  // namespace kestrova::detect
