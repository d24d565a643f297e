# SPDX-License-Identifier: MIT
# Debian's hardening for the builds a player runs: fortified string and memory functions, stack
# protector, format checks, read-only relocations bound at start-up (RELRO, BIND_NOW) and a
# position-independent executable. The flags come from dpkg-buildflags where it exists, so they are
# the ones Debian builds its packages with on this architecture; elsewhere from the list below.
# Optimisation and debug information stay with the build type. Sanitizer and fuzz builds get none
# of it: fortify needs optimisation and gets in the sanitizers' way, and the sanitizers check more.
if(NOT YT_SANITIZE STREQUAL "")
  return()
endif()

find_program(YT_DPKG_BUILDFLAGS dpkg-buildflags)
mark_as_advanced(YT_DPKG_BUILDFLAGS)
if(YT_DPKG_BUILDFLAGS)
  # Only the hardening: no file-prefix maps (they depend on the directory cmake runs in), and no
  # -g -O2 (the build type decides those).
  function(yt_dpkg_buildflags name out)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-all"
              "DEB_${name}_MAINT_STRIP=-g -O2" ${YT_DPKG_BUILDFLAGS} --get ${name}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    set(${out} ${flags} PARENT_SCOPE)
  endfunction()
  yt_dpkg_buildflags(CPPFLAGS yt_cppflags)
  yt_dpkg_buildflags(CXXFLAGS yt_cxxflags)
  yt_dpkg_buildflags(LDFLAGS yt_ldflags)
else()
  set(yt_cppflags -D_FORTIFY_SOURCE=2)
  set(yt_cxxflags -fstack-protector-strong -Wformat -Werror=format-security -fPIE)
  set(yt_ldflags -Wl,-z,relro -Wl,-z,now -pie)
endif()

# Fortify works only on optimised code (without it glibc warns and fortifies nothing).
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  list(FILTER yt_cppflags EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
endif()
add_compile_options(${yt_cppflags} ${yt_cxxflags})
add_link_options(${yt_ldflags})
set(yt_all ${yt_cppflags} ${yt_cxxflags} ${yt_ldflags})
list(JOIN yt_all " " yt_all_text)
message(STATUS "Hardening: ${yt_all_text}")
