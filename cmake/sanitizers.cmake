# The asan preset: address and undefined-behaviour sanitizers over everything we build.
option(KESTROVA_SANITIZE "Build with address and undefined-behaviour sanitizers" OFF)
if(KESTROVA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
