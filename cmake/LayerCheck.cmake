# The layers, and the checks that keep them pointing one way.
#
# brim_check_layers() fails the configuration when a library links a library
# of a layer above its own, or when one of its files includes a file of a
# layer above. brim_check_links_no_gui(<target>...) fails it when a target's
# link closure holds a window library: the vault store and the file jobs must
# stay usable, and testable, without any window code.
#
# Tricky points:
# - A file's layer is its library's: the sources a library compiles (and any
#   header it lists) are of its layer, a header with no source of its own is
#   of the layer of the source with the same name beside it, and anything
#   else is of its folder's layer. So one folder can hold two layers (the file
#   jobs and their views in fileenc/, the dialog skeleton in dialogs/) without
#   a file moving.
# - Only project includes by folder ("vault/VaultStore.h") are read; system
#   headers and the third-party libraries stand below every layer.
# - Programs, tests, benchmarks and demos are not layered: they stand on top.

# The order, lowest first (README's Layout says the same in words).
set(BRIM_LAYERS
  framework base cryptolib vault fileenc-core runtime controls skin windows dialogs fileenc-views download app
  uninstall)

# Each layer's libraries.
set(BRIM_LAYER_LIBRARIES_framework brim_framework)
set(BRIM_LAYER_LIBRARIES_base brim_base)
set(BRIM_LAYER_LIBRARIES_cryptolib QZ_Cryptography brim_cryptolib_api)
set(BRIM_LAYER_LIBRARIES_vault brim_cryptobinding brim_vault brim_vaultflows brim_vaulthandoff)
set(BRIM_LAYER_LIBRARIES_fileenc-core brim_fileenc)
set(BRIM_LAYER_LIBRARIES_runtime brim_runtime)
set(BRIM_LAYER_LIBRARIES_controls brim_controls)
set(BRIM_LAYER_LIBRARIES_skin brim_skin brim_skinart brim_buttonpictures)
set(BRIM_LAYER_LIBRARIES_windows brim_dialogskeleton)
set(BRIM_LAYER_LIBRARIES_dialogs brim_dialogs brim_recorddialogs)
set(BRIM_LAYER_LIBRARIES_fileenc-views brim_filejobdialog brim_fileencview)
set(BRIM_LAYER_LIBRARIES_download brim_download brim_updatedialog)
set(BRIM_LAYER_LIBRARIES_app brim_appshell brim_mainwindow)
set(BRIM_LAYER_LIBRARIES_uninstall brim_uninstall)

# Each source folder's layer, for the files no library names.
set(BRIM_LAYER_FOLDERS
  framework=framework base=base cryptolib=cryptolib vault=vault fileenc=fileenc-core
  components/runtime=runtime components/controls=controls skin=skin dialogs=dialogs download=download
  app=app uninstall=uninstall)

set(BRIM_GUI_LIBRARIES
  brim_framework brim_skin brim_runtime brim_controls brim_dialogs
  user32 gdi32 comctl32 comdlg32 msimg32 uxtheme)

function(brim_link_closure target out)
  set(seen "")
  set(pending ${target})
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    if(NOT TARGET ${current})
      continue()
    endif()
    get_target_property(type ${current} TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(usage ${current} INTERFACE_LINK_LIBRARIES)
    if(usage)
      list(APPEND links ${usage})
    endif()
    foreach(link ${links})
      # $<LINK_ONLY:x> and the like: the library inside counts all the same.
      string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" link "${link}")
      string(REGEX REPLACE "^-l" "" link "${link}")
      string(REGEX REPLACE "\\.lib$|^lib|\\.a$" "" link "${link}")
      list(APPEND pending ${link})
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(brim_check_links_no_gui)
  foreach(target ${ARGN})
    brim_link_closure(${target} closure)
    foreach(library ${closure})
      string(TOLOWER "${library}" lowered)
      if(lowered IN_LIST BRIM_GUI_LIBRARIES)
        message(FATAL_ERROR "${target} must link no window library, but its link closure holds ${library} "
                            "(closure: ${closure})")
      endif()
    endforeach()
  endforeach()
endfunction()

# The layer's place in the order (0 the lowest).
function(brim_layer_rank layer out)
  list(FIND BRIM_LAYERS ${layer} rank)
  if(rank LESS 0)
    message(FATAL_ERROR "Layer check: unknown layer ${layer}")
  endif()
  set(${out} ${rank} PARENT_SCOPE)
endfunction()

# Adds "<user> (layer L) <verb> <used> (layer M)" to the list `problems` in the
# caller's scope when M stands above L; a used thing of no layer is fine.
macro(brim_note_upward user layer verb used usedLayer)
  if(NOT "${usedLayer}" STREQUAL "")
    brim_layer_rank(${layer} userRank)
    brim_layer_rank(${usedLayer} usedRank)
    if(usedRank GREATER userRank)
      list(APPEND problems "${user} (layer ${layer}) ${verb} ${used} (layer ${usedLayer})")
    endif()
  endif()
endmacro()

# The layer of a project file (its path relative to the project's folder), as
# the top of this file says; empty for a file outside every layer.
function(brim_file_layer file out)
  get_property(layer GLOBAL PROPERTY BRIM_FILE_LAYER_${file})
  if(NOT layer)
    string(REGEX REPLACE "\\.(h|hpp)$" "" stem "${file}")
    foreach(ending cpp c)
      get_property(sibling GLOBAL PROPERTY BRIM_FILE_LAYER_${stem}.${ending})
      if(sibling AND NOT layer)
        set(layer ${sibling})
      endif()
    endforeach()
  endif()
  if(NOT layer)
    get_filename_component(folder "${file}" DIRECTORY)
    set(best "")
    foreach(pair ${BRIM_LAYER_FOLDERS})
      string(REPLACE "=" ";" pair "${pair}")
      list(GET pair 0 prefix)
      list(GET pair 1 candidate)
      string(LENGTH "${prefix}" length)
      string(LENGTH "${best}" bestLength)
      if((folder STREQUAL prefix OR folder MATCHES "^${prefix}/") AND length GREATER bestLength)
        set(best "${prefix}")
        set(layer ${candidate})
      endif()
    endforeach()
  endif()
  set(${out} "${layer}" PARENT_SCOPE)
endfunction()

function(brim_check_layers)
  set(problems "")
  set(libraryLayers "")
  set(checked "")
  # Every library's files take its layer.
  foreach(layer ${BRIM_LAYERS})
    foreach(library ${BRIM_LAYER_LIBRARIES_${layer}})
      if(NOT TARGET ${library})
        message(FATAL_ERROR "Layer check: layer ${layer} names ${library}, which is no target")
      endif()
      set_property(GLOBAL PROPERTY BRIM_LIBRARY_LAYER_${library} ${layer})
      get_target_property(type ${library} TYPE)
      if(type STREQUAL "INTERFACE_LIBRARY")
        continue()
      endif()
      get_target_property(sources ${library} SOURCES)
      get_target_property(folder ${library} SOURCE_DIR)
      foreach(source ${sources})
        if(source MATCHES "^\\$<" OR NOT source MATCHES "\\.(cpp|c|h)$")
          continue()
        endif()
        get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${folder}")
        file(RELATIVE_PATH relative "${PROJECT_SOURCE_DIR}" "${source}")
        set_property(GLOBAL PROPERTY BRIM_FILE_LAYER_${relative} ${layer})
        list(APPEND checked "${relative}")
        # The headers beside a library's sources are read too.
        get_filename_component(sourceFolder "${source}" DIRECTORY)
        file(GLOB headers RELATIVE "${PROJECT_SOURCE_DIR}" "${sourceFolder}/*.h")
        list(APPEND checked ${headers})
      endforeach()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES checked)

  # No library links a layer above its own.
  foreach(layer ${BRIM_LAYERS})
    foreach(library ${BRIM_LAYER_LIBRARIES_${layer}})
      brim_link_closure(${library} closure)
      foreach(linked ${closure})
        get_property(linkedLayer GLOBAL PROPERTY BRIM_LIBRARY_LAYER_${linked})
        brim_note_upward(${library} ${layer} links ${linked} "${linkedLayer}")
      endforeach()
    endforeach()
  endforeach()

  # No file includes a file of a layer above its own.
  foreach(file ${checked})
    brim_file_layer("${file}" layer)
    if(NOT layer)
      continue()
    endif()
    file(STRINGS "${PROJECT_SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
      if(NOT EXISTS "${PROJECT_SOURCE_DIR}/${included}")
        continue()
      endif()
      get_filename_component(included "${PROJECT_SOURCE_DIR}/${included}" ABSOLUTE)
      file(RELATIVE_PATH included "${PROJECT_SOURCE_DIR}" "${included}")
      brim_file_layer("${included}" includedLayer)
      brim_note_upward("${file}" ${layer} includes "${included}" "${includedLayer}")
    endforeach()
  endforeach()

  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Layers point down (${BRIM_LAYERS}), but:\n  ${text}")
  endif()
endfunction()
