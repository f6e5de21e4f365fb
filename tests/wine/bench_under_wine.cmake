# The panel bench under Wine (docs/wine.md): the Windows kob-bench.exe drives
# the x64 module on Wine's own DirectSound, mmio and profile functions.
# Included from tests/CMakeLists.txt after the Wine fixture is defined.
set(KOB_WINDOWS_X64_BENCH "${PROJECT_SOURCE_DIR}/build/windows-x64/bench/kob-bench.exe"
    CACHE FILEPATH "kob-bench.exe from the windows-x64 preset, run under Wine")
set(KOB_SCENARIO_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/scenarios)
set(KOB_SCENARIO_ROOT_DIR ${CMAKE_CURRENT_BINARY_DIR}/scenarios/root)
set(KOB_DEMO_ROOT_DIR ${PROJECT_BINARY_DIR}/examples/demo)

find_package(PkgConfig REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)

# How a Wine recording is judged against the native render.
kob_test(level_profile_tests wine/level_profile.cpp wine/level_profile_test.cpp)
target_link_libraries(level_profile_tests PRIVATE PkgConfig::SNDFILE)

# The demo heard under Wine, compared with its native render. It starts an
# environment of its own so that nothing else plays into the sink it records.
target_sources(wine_tests PRIVATE wine/level_profile.cpp wine/bench_audio_test.cpp)
target_link_libraries(wine_tests PRIVATE PkgConfig::SNDFILE)
target_compile_definitions(wine_tests PRIVATE
  KOB_WINDOWS_X64_BENCH="${KOB_WINDOWS_X64_BENCH}"
  KOB_WINDOWS_X64_MODULE="${KOB_WINDOWS_X64_MODULE}"
  KOB_NATIVE_BENCH="$<TARGET_FILE:kob-bench>"
  KOB_DEMO_SCENARIO="${PROJECT_SOURCE_DIR}/examples/demo/demo.scn"
  KOB_DEMO_ROOT="${KOB_DEMO_ROOT_DIR}"
)
add_dependencies(wine_tests kob-bench kob_demo_sounds kob_scenario_sounds)

# Every scenario test under Wine, in real time, on a prefix and sound server
# of their own (the shared one's sink is recorded by other tests). Scenarios
# with `fault` lines need the portable platform's injection: native only.
set(KOB_WINE_BENCH_STATE_DIR "${CMAKE_CURRENT_BINARY_DIR}/wine-bench-environment")
add_test(NAME wine_bench_environment_start COMMAND bash ${KOB_WINE_ENV_SCRIPT} start ${KOB_WINE_BENCH_STATE_DIR})
add_test(NAME wine_bench_environment_stop COMMAND bash ${KOB_WINE_ENV_SCRIPT} stop ${KOB_WINE_BENCH_STATE_DIR})
set_tests_properties(wine_bench_environment_start PROPERTIES
  FIXTURES_SETUP wine_bench_environment SKIP_RETURN_CODE 77 TIMEOUT 120)
set_tests_properties(wine_bench_environment_stop PROPERTIES FIXTURES_CLEANUP wine_bench_environment TIMEOUT 60)

file(GLOB wine_scenarios CONFIGURE_DEPENDS ${KOB_SCENARIO_SOURCE_DIR}/*.scn)
foreach(scenario ${wine_scenarios})
  file(STRINGS ${scenario} faults REGEX "^[0-9.]+[ \t]+fault[ \t]")
  if(faults)
    continue()
  endif()
  get_filename_component(name ${scenario} NAME_WE)
  add_test(NAME wine.scenario.${name}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine/run_bench_under_wine.sh ${KOB_WINE_ENV_SCRIPT}
                   ${KOB_WINE_BENCH_STATE_DIR} ${KOB_WINDOWS_X64_BENCH} ${KOB_WINDOWS_X64_MODULE}
                   ${scenario} ${KOB_SCENARIO_ROOT_DIR})
  set_tests_properties(wine.scenario.${name} PROPERTIES
    FIXTURES_REQUIRED wine_bench_environment SKIP_RETURN_CODE 77 TIMEOUT 120)
endforeach()

# A scenario with faults is refused under Windows with the reason, at its line.
add_test(NAME wine.bench.fault_refused
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine/run_bench_under_wine.sh ${KOB_WINE_ENV_SCRIPT}
                 ${KOB_WINE_BENCH_STATE_DIR} ${KOB_WINDOWS_X64_BENCH} ${KOB_WINDOWS_X64_MODULE}
                 ${KOB_SCENARIO_SOURCE_DIR}/lost_buffers.scn ${KOB_SCENARIO_ROOT_DIR})
set_tests_properties(wine.bench.fault_refused PROPERTIES
  FIXTURES_REQUIRED wine_bench_environment SKIP_RETURN_CODE 77 TIMEOUT 60
  PASS_REGULAR_EXPRESSION "lost_buffers\\.scn:4: faults need the portable platform")
