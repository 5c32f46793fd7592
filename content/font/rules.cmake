# data/font.fot: the game's bitmap font, rasterised at build time from
# Debian's DejaVu Sans (package fonts-dejavu-core) by tools/mkfont.cpp.
set(VELL_FONT_SOURCE /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf CACHE FILEPATH
    "TrueType font that data/font.fot is rasterised from")
set(VELL_FONT_OUT ${VELL_GAME_DIR}/data/font.fot)
add_custom_command(OUTPUT ${VELL_FONT_OUT}
  COMMAND mkfont ${VELL_FONT_SOURCE} ${VELL_FONT_OUT} 15 4
  DEPENDS mkfont ${VELL_FONT_SOURCE}
  COMMENT "Rasterising data/font.fot"
  VERBATIM)
vell_game_output(${VELL_FONT_OUT})
