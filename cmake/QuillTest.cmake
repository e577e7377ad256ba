# quill_add_test(NAME SOURCES file.cpp... LIBS lib... [XVFB | A11Y])
# One test file is one executable and one CTest entry. Widgets draw on the
# offscreen platform; tests that need a real display (the web view) ask for
# XVFB and run on a private virtual display (tools/on-xvfb.sh); tests of what
# a screen reader gets ask for A11Y and run on such a display with a private
# accessibility bus (tools/on-a11y-desktop.sh).
function(quill_add_test name)
  cmake_parse_arguments(T "XVFB;A11Y" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    QUILL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QUILL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(T_A11Y)
    add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tools/on-a11y-desktop.sh $<TARGET_FILE:${name}>)
  elseif(T_XVFB)
    add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tools/on-xvfb.sh $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
