# The main screen's frame and status icons (drawn by make-pictures.sh), packed
# at build time into texture containers from the committed JPEG sources.
vell_game_pack_pictures(${CMAKE_CURRENT_LIST_DIR}/src iface compOff compNorth compWest compSouth compEast musicOff
  musicOn shieldOff shieldOn scryOff scryOn lightOff lightOn)
