# Creates an empty best-score file where none exists. The game never creates it, so
# without one no score is ever kept; an existing one holds a player's scores and is
# left alone.
if(NOT BEST_DAT)
  message(FATAL_ERROR "usage: cmake -DBEST_DAT=<path> -P make_best_dat.cmake")
endif()
if(NOT EXISTS "${BEST_DAT}")
  file(WRITE "${BEST_DAT}" "")
endif()
