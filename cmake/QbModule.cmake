# Each folder of the core is one static library qb_<name> built from every
# .cpp in it (a folder of headers only is an interface library); its own
# CMakeLists.txt names what its includes use. Separate libraries keep the
# dependencies between the folders one-way.
set(QB_CORE_MODULES "" CACHE INTERNAL "")

function(qb_core_module name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(qb_${name} STATIC ${srcs})
    target_include_directories(qb_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/core
                                                 ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(qb_${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(qb_${name} INTERFACE)
    target_include_directories(qb_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src/core
                                                    ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(qb_${name} INTERFACE ${ARG_DEPS})
  endif()
  set(QB_CORE_MODULES ${QB_CORE_MODULES} qb_${name} CACHE INTERNAL "")
endfunction()

# A Qt folder of the reader: library qb_gui_<name>.
function(qb_gui_module name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(qb_gui_${name} STATIC ${srcs})
  set_target_properties(qb_gui_${name} PROPERTIES AUTOMOC ON)
  target_include_directories(qb_gui_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(qb_gui_${name} PUBLIC ${ARG_DEPS} Qt6::Widgets)
endfunction()

# One GoogleTest executable over the .cpp files of a tests/ folder.
function(qb_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE QB_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             QB_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
