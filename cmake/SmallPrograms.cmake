# Small shipped programs. Included once from the top-level CMakeLists.txt, inside if(WIN32) and
# before the first add_subdirectory, so that every Windows target is compiled alike.

# Size before speed for everything: the programs are opened for seconds and their code is never
# hot. Per-function and per-datum sections let the linker drop what nothing uses: data such as
# libuuid's GUIDs (CLSID_ShellLink alone would bring all of them), and code without unwind tables
# (our linker keeps every function that has them). The libraries are shared with the test
# programs, so this part applies to them too; it changes no behaviour.
foreach(lang C CXX)
  string(REGEX REPLACE "-O[0-9s]" "" CMAKE_${lang}_FLAGS_RELEASE "${CMAKE_${lang}_FLAGS_RELEASE}")
  string(APPEND CMAKE_${lang}_FLAGS_RELEASE " -Os -ffunction-sections -fdata-sections")
endforeach()

# Link-time optimisation for the shipped programs only: the libraries' objects carry GCC's
# intermediate code beside their machine code, and every other program (the tests above all) links
# the machine code alone, as before. One partition, so that the whole program is seen at once.
add_link_options($<$<CONFIG:Release>:-fno-lto>)

option(LK_LINK_MAP "Write a link map beside each shipped program's objects (scripts/bench)" ON)

# lk_small_program(target...): what only a program that ships gets: link-time optimisation, unused
# sections dropped, no symbol table, and the C++ runtime's throw helpers, terminate handler and
# std::string replaced by cmake/NoThrow.cpp. The test programs keep the runtime's own: GoogleTest
# catches exceptions.
function(lk_small_program)
  set(no_throw ${CMAKE_SOURCE_DIR}/cmake/NoThrow.cpp)
  foreach(target IN LISTS ARGN)
    target_sources(${target} PRIVATE $<$<CONFIG:Release>:${no_throw}>)
    # Without unwind tables, so that the linker can drop the std::string members nothing calls.
    set_source_files_properties(${no_throw} TARGET_DIRECTORY ${target} PROPERTIES
      COMPILE_OPTIONS "-fno-exceptions;-fno-asynchronous-unwind-tables")
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-flto>)
    target_link_options(${target} PRIVATE "$<$<CONFIG:Release>:-flto;-flto-partition=one;-s;-Wl,--gc-sections>")
    # scripts/bench reads what each section holds from the link map.
    if(LK_LINK_MAP)
      target_link_options(${target} PRIVATE "-Wl,-Map,$<TARGET_PROPERTY:${target},BINARY_DIR>/${target}.map")
    endif()
  endforeach()
endfunction()

# Our own code has no try/catch, throws nothing and asks no object for its type, so the libraries
# of the programs need no unwind tables and no type information: on 32-bit Windows the tables
# alone were a fifth of each program. A test program that links them keeps its own; an exception
# cannot pass through our frames, as it cannot in the programs.
function(lk_no_unwind_tables)
  foreach(target IN LISTS ARGN)
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-asynchronous-unwind-tables -fno-rtti)
  endforeach()
endfunction()

# The libraries of the programs in both forms: intermediate code for the programs' optimised link,
# machine code for every other program that links them.
function(lk_fat_lto_objects)
  foreach(target IN LISTS ARGN)
    target_compile_options(${target} PRIVATE "$<$<CONFIG:Release>:-flto;-ffat-lto-objects>")
  endforeach()
endfunction()

# At the end of the top-level directory, when the programs and their libraries exist, wherever
# they are defined.
cmake_language(DEFER CALL lk_small_program Latchkey lkrun3)
cmake_language(DEFER CALL lk_no_unwind_tables lk_core lk_win lk_framework lk_app lk_launcher Latchkey lkrun3)
cmake_language(DEFER CALL lk_fat_lto_objects lk_core lk_win lk_framework lk_app lk_launcher)
