# The recordings' fuzz seeds, made afresh by each build that replays them:
# make_recording_seeds.sh records with the native drive, and
# make_recording_seeds edits what it recorded into the seeds and their table,
# in RECORDING_SEEDS. A test that needs them requires the fixture
# recording_seeds.
add_executable(make_recording_seeds ${CMAKE_CURRENT_LIST_DIR}/make_recording_seeds.cpp)
target_link_libraries(make_recording_seeds PRIVATE drive_runner)
set(RECORDING_SEEDS ${CMAKE_BINARY_DIR}/recording_seeds)
add_test(NAME recording_seeds_made
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/make_recording_seeds.sh $<TARGET_FILE:drive>
                 $<TARGET_FILE:make_recording_seeds> ${PROJECT_SOURCE_DIR}/examples
                 ${RECORDING_SEEDS})
set_tests_properties(recording_seeds_made PROPERTIES FIXTURES_SETUP recording_seeds)
