# --- acc-update-uninstall ---
# The update journey talks to the tests' loopback server (started by its ctest fixture) and opens the
# update page in a recorder that stands in for the user's browser. Prompts.cpp (message boxes and the
# vault prompt) is shared with the uninstall journey.
target_sources(acceptance_tests PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Prompts.cpp
  ${PROJECT_SOURCE_DIR}/tests/download/LoopbackServer.cpp)
add_executable(acceptance_page_recorder WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/Journey09PageRecorder.cpp)
add_dependencies(acceptance_tests acceptance_page_recorder)
set_tests_properties(acceptance_09_UpdateCheck PROPERTIES
  FIXTURES_REQUIRED loopback_server
  ENVIRONMENT_MODIFICATION
    "BRIM_LOOPBACK_STATE=set:${BRIM_LOOPBACK_STATE};http_proxy=unset:;https_proxy=unset:;ftp_proxy=unset:;all_proxy=unset:;no_proxy=unset:;HTTP_PROXY=unset:;HTTPS_PROXY=unset:;FTP_PROXY=unset:;ALL_PROXY=unset:;NO_PROXY=unset:")
