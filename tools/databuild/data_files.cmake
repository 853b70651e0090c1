# Every file chimebox-databuild writes, relative to the game folder: the build declares
# them as its outputs, so the data is made again only when the builder changes or a file
# is missing.
set(CHIMEBOX_DATA_FILES
  title.bmp icon.bmp icon16.bmp about.bmp
  menu/arrows.vgz menu/start_game.vgz menu/test_speakers.vgz menu/learn_game_sounds.vgz
  menu/final_score.vgz menu/view_top_10.vgz menu/send_score.vgz menu/quit.vgz menu/bgrn.vgz
  game/game_intro.vgz game/exit_game.vgz game/say_game_over.vgz game/return_to_menu.vgz
  game/made_it.vgz game/not_enough.vgz game/check_connected.vgz game/sending_score.vgz
  game/say_config_first.vgz
  score/hundred.vgz score/thousand.vgz score/say_final_score.vgz score/score_arrows.vgz
  score/your_current_score.vgz score/say_points.vgz score/SayLivesRemaining.vgz
  level1/bgrn.vgz level1/start.vgz level1/stop.vgz level1/next.vgz
  level1/move1.vgz level1/move2.vgz level1/move3.vgz level1/move4.vgz
  TestSpk/f_left.vgz TestSpk/f_right.vgz TestSpk/f_left1.vgz TestSpk/f_right1.vgz)
foreach(n RANGE 0 20)
  list(APPEND CHIMEBOX_DATA_FILES score/${n}.vgz)
endforeach()
foreach(n 30 40 50 60 70 80 90)
  list(APPEND CHIMEBOX_DATA_FILES score/${n}.vgz)
endforeach()
foreach(row 1 2 3)
  foreach(column 1 2 3)
    list(APPEND CHIMEBOX_DATA_FILES level1/${row}_${column}.vgz)
  endforeach()
endforeach()
foreach(n RANGE 1 9)
  list(APPEND CHIMEBOX_DATA_FILES learn/${n}.vgz)
endforeach()
