# The acceptance journeys, one line per source file (see CMakeLists.txt here).
brim_journey(00 StartsAndCloses)
brim_journey(01 FirstStart)
