# The internal/ headers that `public_headers` (paths relative to
# `source_dir`) include, directly or through other internal ones: what the
# package installs, and what the export check holds to the public rules.
# Used by the build and by the package tests in script mode.
function(vantrel_reached_internal_headers source_dir public_headers out_var)
  set(reached "")
  set(queue ${public_headers})
  while(queue)
    list(POP_FRONT queue h)
    # Both spellings from the tree root; the module check refuses
    # relative includes.
    file(STRINGS "${source_dir}/${h}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]vantrel/.*/internal/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*" "\\1" inc "${line}")
      if(NOT inc IN_LIST reached)
        list(APPEND reached ${inc})
        list(APPEND queue ${inc})
      endif()
    endforeach()
  endwhile()
  set(${out_var} ${reached} PARENT_SCOPE)
endfunction()
