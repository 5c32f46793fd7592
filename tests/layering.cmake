# Checks that each folder of the game includes nothing from the folders above
# it: the rules model knows no action's behaviour, no world and no screen;
# the actions know no world; the world opens no screen (the program above
# hands it the screens it needs). Run: cmake -DSRC=<source dir> -P layering.cmake
cmake_minimum_required(VERSION 3.25)
set(above_platform core rules actions world events screens town audio launcher app)
set(above_core rules actions world events screens town audio launcher app)
set(above_rules actions world events screens town audio launcher app)
set(above_actions world events screens town audio launcher app)
set(above_world screens town launcher app)

set(faults "")
foreach(folder platform core rules actions world)
  file(GLOB files ${SRC}/${folder}/*.h ${SRC}/${folder}/*.cpp)
  foreach(f IN LISTS files)
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z]+)/.*" "\\1" to "${line}")
      if(to IN_LIST above_${folder})
        file(RELATIVE_PATH rel ${SRC} ${f})
        string(APPEND faults "  ${rel}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "A folder includes from a folder above it:\n${faults}")
endif()
