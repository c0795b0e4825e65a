# Run by the ctest test install_consumer (see tests/CMakeLists.txt) as `cmake -P`:
#   1. installs the build tree into <build>/staged-install,
#   2. checks the installed pkg-config file (and, when pkg-config is present, what it answers),
#   3. configures and builds tests/install/consumer against the staged tree with the same compiler
#      and flags, making sure find_package took the staged package and nothing else,
#   4. runs the consumer and, when built, consumer_json (skipped when cross-compiling); each
#      must exit with code 0.
cmake_minimum_required(VERSION 3.25)

foreach(kelo_var KELO_BUILD_DIR KELO_CONSUMER_SOURCE KELO_EXAMPLE_SOURCE KELO_GENERATOR KELO_CXX_COMPILER)
  if(NOT DEFINED ${kelo_var} OR "${${kelo_var}}" STREQUAL "")
    message(FATAL_ERROR "run_consumer.cmake: ${kelo_var} is not set")
  endif()
endforeach()

set(kelo_staged "${KELO_BUILD_DIR}/staged-install")
set(kelo_consumer_build "${KELO_BUILD_DIR}/install-consumer-build")
file(REMOVE_RECURSE "${kelo_staged}" "${kelo_consumer_build}")

function(kelo_run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install_consumer: ${what} failed (${rc}):\n${out}")
  endif()
  message(STATUS "install_consumer: ${what}: ok")
endfunction()

# 1. Install.
set(kelo_config_args)
if(NOT "${KELO_CONFIG}" STREQUAL "")
  set(kelo_config_args --config "${KELO_CONFIG}")
endif()
kelo_run("cmake --install"
  "${CMAKE_COMMAND}" --install "${KELO_BUILD_DIR}" --prefix "${kelo_staged}" ${kelo_config_args})

# Internal headers must stay out of the installed tree; the umbrella header must be in it.
if(NOT EXISTS "${kelo_staged}/include/kelohessian/kelohessian.h")
  message(FATAL_ERROR "install_consumer: include/kelohessian/kelohessian.h was not installed")
endif()
file(GLOB_RECURSE kelo_detail_headers "${kelo_staged}/include/*/detail/*")
if(kelo_detail_headers)
  message(FATAL_ERROR "install_consumer: internal headers were installed: ${kelo_detail_headers}")
endif()

# 2. pkg-config file.
file(GLOB kelo_pc_files "${kelo_staged}/lib*/pkgconfig/kelohessian.pc")
if(NOT kelo_pc_files)
  message(FATAL_ERROR "install_consumer: no lib*/pkgconfig/kelohessian.pc under ${kelo_staged}")
endif()
list(GET kelo_pc_files 0 kelo_pc_file)
find_program(kelo_pkg_config NAMES pkg-config pkgconf)
if(kelo_pkg_config)
  get_filename_component(kelo_pc_dir "${kelo_pc_file}" DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} "${kelo_pc_dir}")
  set(ENV{PKG_CONFIG_LIBDIR} "${kelo_pc_dir}")
  # Without these, pkg-config drops -I/usr/include style paths, and ours must be checked whole.
  set(ENV{PKG_CONFIG_ALLOW_SYSTEM_CFLAGS} 1)
  set(ENV{PKG_CONFIG_ALLOW_SYSTEM_LIBS} 1)
  execute_process(COMMAND "${kelo_pkg_config}" --cflags --libs kelohessian
    RESULT_VARIABLE rc OUTPUT_VARIABLE kelo_pc_flags ERROR_VARIABLE kelo_pc_err
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install_consumer: pkg-config kelohessian failed:\n${kelo_pc_err}")
  endif()
  # The paths it answers must point into the staged tree, wherever that was installed.
  string(REGEX MATCH "-I([^ ]+)" _ "${kelo_pc_flags}")
  set(kelo_pc_include "${CMAKE_MATCH_1}")
  string(REGEX MATCH "-L([^ ]+)" _ "${kelo_pc_flags}")
  set(kelo_pc_libdir "${CMAKE_MATCH_1}")
  if(NOT EXISTS "${kelo_pc_include}/kelohessian/kelohessian.h")
    message(FATAL_ERROR "install_consumer: pkg-config include dir '${kelo_pc_include}' "
      "has no kelohessian/kelohessian.h (flags: ${kelo_pc_flags})")
  endif()
  file(GLOB kelo_pc_libs "${kelo_pc_libdir}/*kelohessian*")
  if(NOT kelo_pc_libs OR NOT kelo_pc_flags MATCHES "-lkelohessian")
    message(FATAL_ERROR "install_consumer: pkg-config libs do not name the staged library "
      "(flags: ${kelo_pc_flags})")
  endif()
  message(STATUS "install_consumer: pkg-config kelohessian: ${kelo_pc_flags}")
endif()

# 3. Configure and build the consumer against the staged tree only.
set(kelo_configure_args
  -S "${KELO_CONSUMER_SOURCE}" -B "${kelo_consumer_build}"
  "-DKELO_EXAMPLE_SOURCE=${KELO_EXAMPLE_SOURCE}"
  -G "${KELO_GENERATOR}"
  "-DCMAKE_CXX_COMPILER=${KELO_CXX_COMPILER}"
  "-DCMAKE_CXX_FLAGS=${KELO_CXX_FLAGS}"
  "-DCMAKE_EXE_LINKER_FLAGS=${KELO_EXE_LINKER_FLAGS}"
  "-DCMAKE_PREFIX_PATH=${kelo_staged}"
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
  -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF)
if(NOT "${KELO_MAKE_PROGRAM}" STREQUAL "")
  list(APPEND kelo_configure_args "-DCMAKE_MAKE_PROGRAM=${KELO_MAKE_PROGRAM}")
endif()
if(NOT "${KELO_CONFIG}" STREQUAL "")
  list(APPEND kelo_configure_args "-DCMAKE_BUILD_TYPE=${KELO_CONFIG}")
endif()
if(NOT "${KELO_TOOLCHAIN_FILE}" STREQUAL "")
  list(APPEND kelo_configure_args "-DCMAKE_TOOLCHAIN_FILE=${KELO_TOOLCHAIN_FILE}")
endif()
kelo_run("configure consumer" "${CMAKE_COMMAND}" ${kelo_configure_args})

file(STRINGS "${kelo_consumer_build}/CMakeCache.txt" kelo_found_dir REGEX "^KeloHessian_DIR:")
string(FIND "${kelo_found_dir}" "${kelo_staged}/" kelo_at)
if(NOT kelo_at GREATER -1)
  message(FATAL_ERROR "install_consumer: find_package did not take the staged package: "
    "${kelo_found_dir}")
endif()

kelo_run("build consumer"
  "${CMAKE_COMMAND}" --build "${kelo_consumer_build}" ${kelo_config_args})

# 4. Run it.
if(KELO_CROSSCOMPILING)
  message(STATUS "install_consumer: cross-compiling, consumer built but not run")
  return()
endif()
foreach(kelo_program consumer consumer_json)
  file(GLOB_RECURSE kelo_exe "${kelo_consumer_build}/${kelo_program}"
    "${kelo_consumer_build}/${kelo_program}.exe")
  if(kelo_exe)
    list(GET kelo_exe 0 kelo_exe)
    kelo_run("run ${kelo_program}" "${kelo_exe}")
  elseif(kelo_program STREQUAL "consumer")
    message(FATAL_ERROR "install_consumer: consumer executable not found in ${kelo_consumer_build}")
  endif()
endforeach()
