# Everything that ships is signed by scripts/sign: with the certificate that the environment names
# (README, "Releases"), or else with a test certificate made once in LK_SIGNING_DIR, so that every
# build signs and every test run checks signatures.
set(LK_SIGNING_DIR ${CMAKE_BINARY_DIR}/signing CACHE PATH "Where the test signing certificate is made")

# Who signs: "test", or the digest of the certificate the environment names (scripts/build passes
# it on each run). The programs are linked again when it changes, and so signed again, with the
# packages made from them: a tree built with the test certificate never ships its signatures
# once a real one is configured.
if(NOT DEFINED LK_SIGNER)
  if(DEFINED ENV{LK_SIGN_PKCS12} AND NOT "$ENV{LK_SIGN_PKCS12}" STREQUAL "")
    file(SHA256 "$ENV{LK_SIGN_PKCS12}" LK_SIGNER)
  elseif(DEFINED ENV{LK_SIGN_CERT} AND NOT "$ENV{LK_SIGN_CERT}" STREQUAL "")
    file(SHA256 "$ENV{LK_SIGN_CERT}" LK_SIGNER)
  else()
    set(LK_SIGNER test)
  endif()
endif()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/signer CONTENT "${LK_SIGNER}\n")
# What the signatures are checked against: the test authority, or the system's authorities.
if(LK_SIGNER STREQUAL "test")
  set(LK_SIGN_AUTHORITY ${LK_SIGNING_DIR}/test-authority.pem)
else()
  set(LK_SIGN_AUTHORITY /etc/ssl/certs/ca-certificates.crt)
endif()

# lk_sign_after_build(target...): the program is signed where it is linked, before anything
# (a package, a test) takes it.
function(lk_sign_after_build)
  foreach(target IN LISTS ARGN)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_BINARY_DIR}/signer)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E env LK_SIGNING_DIR=${LK_SIGNING_DIR}
              ${CMAKE_SOURCE_DIR}/scripts/sign $<TARGET_FILE:${target}>
      VERBATIM)
  endforeach()
endfunction()
