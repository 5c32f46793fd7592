# The font tool rasterises with FreeType; no other program links it.
find_package(Freetype REQUIRED)
target_link_libraries(mkfont PRIVATE Freetype::Freetype)
