# tarvok_batch(target): the target's files compiled in batches of 16, one compile each,
# so the headers they share are read once a batch; most of a file's compile is the
# standard library's and Qt's headers. A catalogue stays out of its batch: each names
# its table and ids the same way.
function(tarvok_batch target)
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(source MATCHES "_catalogue\\.cpp$")
      set_source_files_properties(${source} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endif()
  endforeach()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 16)
endfunction()
