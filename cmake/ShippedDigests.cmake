# Writes the header of the SHA-256 digests of the libraries that ship, taken from the files just
# built: cmake -DOUT=<header> -DFILES="<Constant>=<path>;..." -P ShippedDigests.cmake
# The header is only replaced when a digest changed, so that nothing recompiles needlessly.
set(body "#pragma once\n// Made by the build from the libraries it built (cmake/ShippedDigests.cmake): do not edit.\n\n")
string(APPEND body "namespace cleanroom::digests {\n\n")
foreach(entry ${FILES})
  string(REGEX MATCH "^([^=]+)=(.*)$" matched "${entry}")
  set(constant ${CMAKE_MATCH_1})
  set(path ${CMAKE_MATCH_2})
  set(digest "")
  if(path)
    file(SHA256 ${path} digest)
  endif()
  string(APPEND body "constexpr char k${constant}[] = \"${digest}\";\n")
endforeach()
string(APPEND body "\n}  // namespace cleanroom::digests\n")
file(WRITE ${OUT}.new "${body}")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
