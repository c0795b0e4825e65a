# Run by the ctest test install_consumer (see tests/CMakeLists.txt) as `cmake -P`:
#   1. installs the build tree into <build>/staged-install,
#   2. checks the installed pkg-config files, kelohessian.pc and kelohessian-<name>.pc for each
#      component (and, when pkg-config is present, what they answer),
#   3. configures and builds tests/install/consumer against the staged tree with the same compiler
#      and flags, asking for every component by name and making sure find_package took the staged
#      package and nothing else; then checks that asking for a component that is not installed
#      fails and says which,
#   4. runs each consumer program (skipped when cross-compiling); each must exit with code 0.
cmake_minimum_required(VERSION 3.25)

foreach(kelo_var KELO_BUILD_DIR KELO_CONSUMER_SOURCE KELO_EXAMPLES_DIR KELO_GENERATOR KELO_CXX_COMPILER)
  if(NOT DEFINED ${kelo_var} OR "${${kelo_var}}" STREQUAL "")
    message(FATAL_ERROR "run_consumer.cmake: ${kelo_var} is not set")
  endif()
endforeach()

set(kelo_staged "${KELO_BUILD_DIR}/staged-install")
set(kelo_consumer_build "${KELO_BUILD_DIR}/install-consumer-build")
set(kelo_missing_build "${KELO_BUILD_DIR}/install-consumer-missing")
file(REMOVE_RECURSE "${kelo_staged}" "${kelo_consumer_build}" "${kelo_missing_build}")
# The optional components the build made ("json http"), each of which must be installed.
string(REPLACE " " ";" kelo_components "${KELO_COMPONENTS}")

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
# The examples the guides refer to are installed; the consumer builds them from there.
set(kelo_examples "${kelo_staged}/${KELO_EXAMPLES_DIR}")
foreach(kelo_example IN ITEMS own_message.cpp session.cpp http_call.cpp)
  if(NOT EXISTS "${kelo_examples}/${kelo_example}")
    message(FATAL_ERROR "install_consumer: ${KELO_EXAMPLES_DIR}/${kelo_example} was not installed")
  endif()
endforeach()

# 2. pkg-config files: each answers flags that point into the staged tree, wherever that was
# installed, and names its library (the JSON library's names the core library too, through
# Requires).
file(GLOB kelo_pc_files "${kelo_staged}/lib*/pkgconfig/kelohessian.pc")
if(NOT kelo_pc_files)
  message(FATAL_ERROR "install_consumer: no lib*/pkgconfig/kelohessian.pc under ${kelo_staged}")
endif()
list(GET kelo_pc_files 0 kelo_pc_file)
get_filename_component(kelo_pc_dir "${kelo_pc_file}" DIRECTORY)
foreach(kelo_component IN LISTS kelo_components)
  if(NOT EXISTS "${kelo_pc_dir}/kelohessian-${kelo_component}.pc")
    message(FATAL_ERROR "install_consumer: kelohessian-${kelo_component}.pc was not installed")
  endif()
endforeach()
find_program(kelo_pkg_config NAMES pkg-config pkgconf)
if(kelo_pkg_config)
  # The staged files come first; a native build also sees the system's (a static transport
  # requires libcurl's), a cross build nothing else.
  set(ENV{PKG_CONFIG_PATH} "${kelo_pc_dir}")
  if(KELO_CROSSCOMPILING)
    set(ENV{PKG_CONFIG_LIBDIR} "${kelo_pc_dir}")
  endif()
  # Without these, pkg-config drops -I/usr/include style paths, and ours must be checked whole.
  set(ENV{PKG_CONFIG_ALLOW_SYSTEM_CFLAGS} 1)
  set(ENV{PKG_CONFIG_ALLOW_SYSTEM_LIBS} 1)
  foreach(kelo_module IN ITEMS kelohessian ${kelo_components})
    set(kelo_libs kelohessian)
    if(NOT kelo_module STREQUAL "kelohessian")
      set(kelo_libs kelohessian_${kelo_module})
      if(kelo_module STREQUAL "json")
        list(APPEND kelo_libs kelohessian)
      endif()
      set(kelo_module kelohessian-${kelo_module})
    endif()
    execute_process(COMMAND "${kelo_pkg_config}" --cflags --libs ${kelo_module}
      RESULT_VARIABLE rc OUTPUT_VARIABLE kelo_pc_flags ERROR_VARIABLE kelo_pc_err
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "install_consumer: pkg-config ${kelo_module} failed:\n${kelo_pc_err}")
    endif()
    string(REGEX MATCH "-I([^ ]+)" _ "${kelo_pc_flags}")
    set(kelo_pc_include "${CMAKE_MATCH_1}")
    string(REGEX MATCH "-L([^ ]+)" _ "${kelo_pc_flags}")
    set(kelo_pc_libdir "${CMAKE_MATCH_1}")
    if(NOT EXISTS "${kelo_pc_include}/kelohessian/kelohessian.h")
      message(FATAL_ERROR "install_consumer: pkg-config ${kelo_module}: include dir "
        "'${kelo_pc_include}' has no kelohessian/kelohessian.h (flags: ${kelo_pc_flags})")
    endif()
    foreach(kelo_lib IN LISTS kelo_libs)
      file(GLOB kelo_pc_libs "${kelo_pc_libdir}/*${kelo_lib}.*")
      if(NOT kelo_pc_libs OR NOT kelo_pc_flags MATCHES "-l${kelo_lib}( |$)")
        message(FATAL_ERROR "install_consumer: pkg-config ${kelo_module} does not name the staged "
          "library ${kelo_lib} (flags: ${kelo_pc_flags})")
      endif()
    endforeach()
    message(STATUS "install_consumer: pkg-config ${kelo_module}: ${kelo_pc_flags}")
  endforeach()
endif()

# 3. Configure and build the consumer against the staged tree only (and its programs through the
# pkg-config files when pkg-config is there and the build is native).
if(kelo_pkg_config AND NOT KELO_CROSSCOMPILING)
  set(kelo_with_pkg_config ON)
else()
  set(kelo_with_pkg_config OFF)
endif()
set(kelo_configure_args
  -S "${KELO_CONSUMER_SOURCE}"
  "-DKELO_EXAMPLES_DIR=${kelo_examples}"
  "-DKELO_COMPONENTS=${KELO_COMPONENTS}"
  -DKELO_WITH_PKG_CONFIG=${kelo_with_pkg_config}
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
kelo_run("configure consumer"
  "${CMAKE_COMMAND}" ${kelo_configure_args} -B "${kelo_consumer_build}")

file(STRINGS "${kelo_consumer_build}/CMakeCache.txt" kelo_found_dir REGEX "^KeloHessian_DIR:")
string(FIND "${kelo_found_dir}" "${kelo_staged}/" kelo_at)
if(NOT kelo_at GREATER -1)
  message(FATAL_ERROR "install_consumer: find_package did not take the staged package: "
    "${kelo_found_dir}")
endif()

kelo_run("build consumer"
  "${CMAKE_COMMAND}" --build "${kelo_consumer_build}" ${kelo_config_args})

# A required component that is not installed fails the package, naming it.
execute_process(COMMAND "${CMAKE_COMMAND}" ${kelo_configure_args} -B "${kelo_missing_build}"
  -DKELO_ASK_MISSING=ON RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(REGEX REPLACE "[ \n]+" " " kelo_flat "${out}")  # CMake wraps the message
if(rc EQUAL 0 OR NOT kelo_flat MATCHES "component\\(s\\) not installed in [^:]+: nosuch \\(")
  message(FATAL_ERROR "install_consumer: asking for a component that is not installed gave "
    "(${rc}):\n${out}")
endif()
message(STATUS "install_consumer: a missing component is refused: ok")

# 4. Run it.
if(KELO_CROSSCOMPILING)
  message(STATUS "install_consumer: cross-compiling, consumer built but not run")
  return()
endif()
set(kelo_programs consumer)
foreach(kelo_component IN LISTS kelo_components)
  list(APPEND kelo_programs consumer_${kelo_component})
endforeach()
if(kelo_with_pkg_config)
  set(kelo_pc_programs ${kelo_programs})
  list(TRANSFORM kelo_pc_programs APPEND _pc)
  list(APPEND kelo_programs ${kelo_pc_programs})
endif()
foreach(kelo_program IN LISTS kelo_programs)
  file(GLOB_RECURSE kelo_exe "${kelo_consumer_build}/${kelo_program}"
    "${kelo_consumer_build}/${kelo_program}.exe")
  if(NOT kelo_exe)
    message(FATAL_ERROR "install_consumer: ${kelo_program} not found in ${kelo_consumer_build}")
  endif()
  list(GET kelo_exe 0 kelo_exe)
  if(NOT kelo_program MATCHES "^consumer_http")
    kelo_run("run ${kelo_program}" "${kelo_exe}")
    continue()
  endif()
  # The call over HTTP has no server here: it runs as far as the connection, which nothing can
  # take at port 0, and says so in one line.
  execute_process(COMMAND "${kelo_exe}" http://127.0.0.1:0/client
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 1 OR NOT out MATCHES "^POST http://127.0.0.1:0/client: Couldn't connect[^\n]*\n$")
    message(FATAL_ERROR "install_consumer: ${kelo_program} (${rc}):\n${out}")
  endif()
  string(STRIP "${out}" out)
  message(STATUS "install_consumer: run ${kelo_program}: ok, ${out}")
endforeach()
