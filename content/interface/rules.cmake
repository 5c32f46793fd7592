# The main screen's frame and status icons (made by make-pictures.sh).
file(GLOB iface_pics CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/pics/*.dat)
foreach(p IN LISTS iface_pics)
  get_filename_component(n ${p} NAME)
  vell_game_copy(${p} pics/other/${n})
endforeach()
