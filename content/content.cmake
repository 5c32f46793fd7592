# Assembles the folder the game runs from: ${VELL_GAME_DIR} with data/, maps/,
# pics/ and savegame/ beside vellrun.
#
# Every content/<part>/rules.cmake adds what its part contributes, with
#   vell_game_copy(<source file> <path inside the game folder>)
# for a file taken as it is, or a custom command producing a file inside the
# game folder followed by
#   vell_game_output(<absolute path of the produced file>)
# and vell_game_pack_pictures(<source folder> <name>...) for pictures packed
# into texture containers.
# All of them are built by the target game_data (part of "all").

set_property(GLOBAL PROPERTY VELL_GAME_FILES "")

function(vell_game_output path)
  set_property(GLOBAL APPEND PROPERTY VELL_GAME_FILES ${path})
endfunction()

function(vell_game_copy src dest)
  set(out ${VELL_GAME_DIR}/${dest})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy ${src} ${out}
    DEPENDS ${src} VERBATIM)
  vell_game_output(${out})
endfunction()

# Copies every file below a content folder into the game folder, keeping the
# relative paths.
function(vell_game_copy_tree srcdir destdir)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${srcdir} ${srcdir}/*)
  foreach(f IN LISTS files)
    if(NOT f MATCHES "(^|/)(rules\\.cmake|README\\.md)$")
      vell_game_copy(${srcdir}/${f} ${destdir}/${f})
    endif()
  endforeach()
endfunction()

# Packs pictures into texture containers pics/other/<name>.dat with
# tools/mkdattex, each from <srcdir>/<name>.jpg (high quality) and
# <srcdir>/<name>-low.jpg (low quality).
function(vell_game_pack_pictures srcdir)
  foreach(name IN LISTS ARGN)
    set(hi ${srcdir}/${name}.jpg)
    set(lo ${srcdir}/${name}-low.jpg)
    set(out ${VELL_GAME_DIR}/pics/other/${name}.dat)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${VELL_GAME_DIR}/pics/other
      COMMAND mkdattex ${out} ${hi} ${lo}
      DEPENDS mkdattex ${hi} ${lo}
      COMMENT "Packing pics/other/${name}.dat"
      VERBATIM)
    vell_game_output(${out})
  endforeach()
endfunction()

file(MAKE_DIRECTORY ${VELL_GAME_DIR}/data ${VELL_GAME_DIR}/maps ${VELL_GAME_DIR}/pics ${VELL_GAME_DIR}/savegame)

file(GLOB content_rules CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/content/*/rules.cmake)
foreach(r IN LISTS content_rules)
  include(${r})
endforeach()

get_property(game_files GLOBAL PROPERTY VELL_GAME_FILES)
add_custom_target(game_data ALL DEPENDS ${game_files})
foreach(p vellrun vellconf)
  if(TARGET ${p})
    add_custom_command(TARGET ${p} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${p}> ${VELL_GAME_DIR}/
      VERBATIM)
  endif()
endforeach()
