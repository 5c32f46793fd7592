# Master data files that the game needs to start. Where no other content
# part produces one yet, a valid empty file stands in for it; as soon as a
# part produces the real file, the stand-in is dropped. The check runs after
# every part has added its files.
function(vell_master_placeholders)
  get_property(files GLOBAL PROPERTY VELL_GAME_FILES)
  set(outs)
  foreach(placeholder "actions.dat|gzip" "monsters.dat|gzip" "item.dat|counts 1"
               "class.dat|counts 2" "itemcreate.dat|counts 1")
    string(REPLACE "|" ";" parts "${placeholder}")
    list(GET parts 0 name)
    list(GET parts 1 kind)
    set(out ${VELL_GAME_DIR}/data/${name})
    if(out IN_LIST files)
      continue()
    endif()
    if(kind STREQUAL "copy")
      add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/masterdata/${name} ${out}
        DEPENDS ${CMAKE_SOURCE_DIR}/content/masterdata/${name} VERBATIM)
    else()
      separate_arguments(args UNIX_COMMAND "${kind}")
      add_custom_command(OUTPUT ${out}
        COMMAND mkemptydata ${args} ${out}
        DEPENDS mkemptydata VERBATIM)
    endif()
    list(APPEND outs ${out})
  endforeach()
  add_custom_target(master_placeholders ALL DEPENDS ${outs})
  # Part of the game folder: whatever builds the folder builds them.
  add_dependencies(game_data master_placeholders)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vell_master_placeholders)
