# Small helpers shared by the CMake files of src/, tools/, tests/ and bench/.

# Collects every source file below DIR (recursively), so that adding a file
# to a subsystem needs no edit of a shared CMake file.
function(campanix_collect_sources out_var dir)
  file(GLOB_RECURSE _found CONFIGURE_DEPENDS
       "${dir}/*.cpp" "${dir}/*.h")
  set(${out_var} ${_found} PARENT_SCOPE)
endfunction()

# Puts an executable into the runnable installation folder.
function(campanix_install_beside target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CAMPANIX_RUNTIME_DIR}")
endfunction()

# Builds one GoogleTest executable and registers its tests with CTest.
# Widget tests run offscreen; every test knows where the runnable
# installation folder of this build is.
function(campanix_add_test_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    CAMPANIX_RUNTIME_DIR="${CAMPANIX_RUNTIME_DIR}"
    CAMPANIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy"
               TIMEOUT 300)
endfunction()

# Adds every direct subfolder of the current source folder that has a CMakeLists.txt.
function(campanix_add_subfolders)
  file(GLOB _children LIST_DIRECTORIES true CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*")
  list(SORT _children)
  foreach(_child IN LISTS _children)
    if(IS_DIRECTORY "${_child}" AND EXISTS "${_child}/CMakeLists.txt")
      add_subdirectory("${_child}")
    endif()
  endforeach()
endfunction()
