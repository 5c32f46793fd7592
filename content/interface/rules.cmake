# The main screen's frame and status icons (drawn by make-pictures.sh), packed
# at build time into texture containers from the committed JPEG sources.
foreach(name iface compOff compNorth compWest compSouth compEast musicOff musicOn
        shieldOff shieldOn scryOff scryOn lightOff lightOn)
  set(hi ${CMAKE_CURRENT_LIST_DIR}/src/${name}.jpg)
  set(lo ${CMAKE_CURRENT_LIST_DIR}/src/${name}-low.jpg)
  set(out ${VELL_GAME_DIR}/pics/other/${name}.dat)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELL_GAME_DIR}/pics/other
    COMMAND mkdattex ${out} ${hi} ${lo}
    DEPENDS mkdattex ${hi} ${lo}
    COMMENT "Packing pics/other/${name}.dat"
    VERBATIM)
  vell_game_output(${out})
endforeach()
