# parley_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest binary per area, with the common test main that points every
# folder the program writes at a temporary one.
function(parley_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE parley_test_main ${ARG_LIBS})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# parley_add_fuzzer(<name> SOURCES <files...> LIBS <targets...>)
# A libFuzzer target, registered as a short smoke run (a few thousand inputs)
# seeded from tests/fuzz/seeds/<name> when that folder exists.
function(parley_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(fuzz_${name} ${ARG_SOURCES})
  target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set(seeds ${PROJECT_SOURCE_DIR}/tests/fuzz/seeds/${name})
  set(seed_arg)
  if(EXISTS ${seeds})
    set(seed_arg ${seeds})
  endif()
  # New inputs go to a corpus folder in the build tree, never into the seeds.
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME fuzz_${name}
    COMMAND fuzz_${name} -runs=4000 -max_len=4096 -seed=1 ${corpus} ${seed_arg})
  set_tests_properties(fuzz_${name} PROPERTIES TIMEOUT 300)
endfunction()

# parley_add_gui_test(<name> SOURCES <files...> LIBS <targets...>)
# One GUI test binary per area: one QApplication, offscreen, with the GUI main.
function(parley_add_gui_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE parley_gui_test_main ${ARG_LIBS})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox;QT_QUICK_BACKEND=software")
endfunction()

# parley_render_svgs(<out-var> <output-dir> <svg files...>)
# Our drawings are SVG sources; each is rendered once to <output-dir>/<name>.png
# by parley-svg2png (resources/tools) when the drawing or the tool changes.
# The PNG paths are returned in <out-var>.
function(parley_render_svgs out_var out_dir)
  set(pngs)
  foreach(svg ${ARGN})
    get_filename_component(name ${svg} NAME_WLE)
    set(png ${out_dir}/${name}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND parley-svg2png ${svg} ${png}
      DEPENDS ${svg} parley-svg2png
      COMMENT "Drawing ${name}.png" VERBATIM)
    list(APPEND pngs ${png})
  endforeach()
  set(${out_var} ${pngs} PARENT_SCOPE)
endfunction()
