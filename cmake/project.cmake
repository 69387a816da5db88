# Helpers shared by every folder's CMakeLists.

# project_test(NAME src... LIBS lib... [TIMEOUT s] [LABELS l...])
# A GoogleTest executable registered with ctest. In the Windows build it runs under
# the project's Wine prefix through the toolchain's emulator.
function(project_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  if(TARGET_WINDOWS)
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main gtest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gtest)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# MinGW's linker puts the debug sections inside the image, where Wine reads all of them (tens of
# megabytes) on every start; a program keeps them in a file beside it instead, found by debuggers
# through the debug link.
function(separate_debug_info target)
  if(NOT CMAKE_OBJCOPY)
    return()
  endif()
  set(exe $<TARGET_FILE:${target}>)
  set(debug $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${exe} ${debug}
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=${debug} ${exe}
    VERBATIM)
endfunction()

# place_usb_dll(target...): the simulated reader's usb.dll beside each target's program, where the
# DLL search finds it first. The copy depends on the DLL itself, so that a change to the simulator
# alone refreshes every copy (a copy made when the program links would go stale).
function(place_usb_dll)
  if(NOT TARGET usb)
    return()
  endif()
  foreach(target ${ARGN})
    get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT dir)
      get_target_property(dir ${target} BINARY_DIR)
    endif()
    # One copy for each folder, however many programs share it.
    file(RELATIVE_PATH folder ${CMAKE_BINARY_DIR} ${dir})
    string(MAKE_C_IDENTIFIER "usb_dll_in_${folder}" copy)
    if(NOT TARGET ${copy})
      add_custom_command(OUTPUT ${dir}/usb.dll
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:usb> ${dir}/usb.dll
        DEPENDS usb
        COMMENT "Placing usb.dll in ${folder}"
        VERBATIM)
      add_custom_target(${copy} DEPENDS ${dir}/usb.dll)
    endif()
    add_dependencies(${target} ${copy})
  endforeach()
endfunction()
