# The acceptance journeys, one line per source file (see CMakeLists.txt here).
brim_journey(00 StartsAndCloses)
brim_journey(01 FirstStart)
brim_journey(02 Records)
brim_journey(08 ExitAndRestart)
# --- acc-vaults ---
target_sources(acceptance_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/VaultSteps.cpp)
brim_journey(03 Secrets)
brim_journey(04 SeveralVaults)
brim_journey(05 Backups)
# --- acc-update-uninstall ---
brim_journey(09 UpdateCheck)
include(${CMAKE_CURRENT_SOURCE_DIR}/Journey09UpdateCheck.cmake)
brim_journey(10 Uninstall)
# --- acc-files ---
# The file journeys: their readers of .vltenc files and the job record, their file steps, and the
# program of their test file type (started by the shell, it records what it was asked to open).
target_sources(acceptance_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/FileReaders.cpp ${CMAKE_CURRENT_SOURCE_DIR}/FileSteps.cpp)
add_executable(acceptance_open_recorder ${CMAKE_CURRENT_SOURCE_DIR}/Journey06OpenRecorder.cpp)
add_dependencies(acceptance_tests acceptance_open_recorder)
brim_journey(06 Files)
brim_journey(07 Interruption)
