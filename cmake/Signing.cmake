# Everything that ships is signed by scripts/sign: with the certificate that the environment names
# (README, "Releases"), or else with a test certificate made once in LK_SIGNING_DIR, so that every
# build signs and every test run checks signatures.
set(LK_SIGNING_DIR ${CMAKE_BINARY_DIR}/signing CACHE PATH "Where the test signing certificate is made")

# lk_sign_after_build(target...): the program is signed where it is linked, before anything
# (a package, a test) takes it.
function(lk_sign_after_build)
  foreach(target IN LISTS ARGN)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E env LK_SIGNING_DIR=${LK_SIGNING_DIR}
              ${CMAKE_SOURCE_DIR}/scripts/sign $<TARGET_FILE:${target}>
      VERBATIM)
  endforeach()
endfunction()
