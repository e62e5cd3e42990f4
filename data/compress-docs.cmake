# Run by CPack on the staged files before packing: compresses every manual
# page and the change log the install rules put there, as Debian keeps them
# (gzip -9n: best compression, no name or time stamp inside).
file(GLOB_RECURSE _docs
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/tonvale/changelog)
foreach(_doc ${_docs})
  if(NOT _doc MATCHES "\\.gz$")
    execute_process(COMMAND gzip -9nf ${_doc} RESULT_VARIABLE _failed)
    if(_failed)
      message(FATAL_ERROR "cannot compress ${_doc}")
    endif()
  endif()
endforeach()
