# Each fuzz_<name>.cpp with a corpus folder fuzz/corpus/<name> is also built
# with replay_main.cpp into replay_<name>, which runs that corpus as a test.
file(GLOB fjl_fuzz_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_*.cpp)
foreach(src ${fjl_fuzz_sources})
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "^fuzz_" "" corpus ${name})
  if(NOT IS_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/corpus/${corpus})
    continue()
  endif()
  add_executable(replay_${corpus} ${src} ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
  target_link_libraries(replay_${corpus} PRIVATE fjl_tapecheck fjl_tapedata fjl_restore fjl_output fjl_sim)
  add_test(NAME replay_${corpus} COMMAND replay_${corpus} ${CMAKE_CURRENT_LIST_DIR}/corpus/${corpus})
endforeach()
