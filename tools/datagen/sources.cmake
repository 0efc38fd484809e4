# The data generator's sources, read by its own project and by the outer build
# (which regenerates the data when one of them changes).
set(DATAGEN_SOURCES
  creature.cpp
  creature_bake.cpp
  creature_body.cpp
  creature_md2.cpp
  creature_mesh.cpp
  creature_paint.cpp
  creature_parts.cpp
  creature_view.cpp
  font.cpp
  icon.cpp
  image.cpp
  main.cpp
  preview.cpp
  procedural.cpp
  reader_messages.cpp
  sound.cpp
  textures.cpp
  typeface.cpp)
set(DATAGEN_HEADERS
  creature_body.h
  creature_md2.h
  creature_paint.h
  creature_parts.h
  creature_view.h
  generators.h
  image.h
  preview.h
  procedural.h
  reader_messages.h
  typeface.h)
# The game's MD2 reader, which reads the creature back (and the file mapping
# and model store it needs).
list(APPEND DATAGEN_SOURCES
  ../../src/model/md2.cpp
  ../../src/model/model.cpp
  ../../src/app/posix/files.cpp)
