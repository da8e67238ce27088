# Which part of src/ may include which: the layer rule, written once.
#
#   rule      the files it covers   what they may include
#   (name)    (folder or file)      (folders, with their subfolders, or single files)
#
# A file follows the row whose "covers" entry is the longest one that holds
# it: platform/win32/http follows "winhttp", not "win32". Read from the
# bottom up, the program's layers are ui <- services <- pages <- app <-
# program; the platform bindings stand on ui and services only, and the
# WinHTTP client sees of the rest of the Win32 binding only the handle
# holders it shares with it.
#
# cmake/CheckLayerRules.cmake reads this table; the build runs it before it
# compiles any layer (see cmake/Layers.cmake).

set(KANVEL_LAYER_RULES
  "ui       | ui                  | ui"
  "services | services            | ui services"
  "pages    | pages               | ui services pages"
  "app      | app                 | ui services pages app"
  "program  | program             | ui services pages app program platform"
  "host     | platform/host       | ui services platform/host"
  "win32    | platform/win32      | ui services platform/win32"
  "winhttp  | platform/win32/http | ui services platform/win32/http platform/win32/ResourceHolders.h"
)
