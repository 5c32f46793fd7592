# Title, quest-selection and loading pictures (made by tools/make-pictures.sh).
# The pictures of pics/other/ are texture containers, packed here at build
# time from the committed JPEG sources (high and low quality) by
# tools/mkdattex.cpp; pics/intro/loading.dat is a plain JPEG ".dat" picture.
foreach(name titlescreen gameselect title)
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
vell_game_copy(${CMAKE_CURRENT_LIST_DIR}/intro/loading.dat pics/intro/loading.dat)
