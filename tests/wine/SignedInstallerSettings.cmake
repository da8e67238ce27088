# The build settings of the installer that checks downloaded programs against
# a throwaway test maker (the signed-programs journey): the test certificates
# are made in PKI when missing (tools/tls/make-test-pki.sh keeps a valid set),
# and the publisher list names the maker's certificate and its expired
# earlier one. Run on every build; OUTPUT changes only when the certificates
# were made anew.
#   cmake -DSOURCE_DIR=<sources> -DPKI=<folder> -DURL=<base URL> -DOUTPUT=<file> -P SignedInstallerSettings.cmake
execute_process(COMMAND bash ${SOURCE_DIR}/tools/tls/make-test-pki.sh ${PKI} RESULT_VARIABLE made OUTPUT_QUIET)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "The test certificates could not be made in ${PKI}")
endif()
set(publisher)
foreach(certificate signing signing-expired)
  execute_process(COMMAND openssl x509 -in ${PKI}/${certificate}.crt -outform DER -out ${PKI}/${certificate}.der
                  RESULT_VARIABLE converted)
  if(NOT converted EQUAL 0)
    message(FATAL_ERROR "openssl could not read ${PKI}/${certificate}.crt")
  endif()
  file(SHA256 ${PKI}/${certificate}.der digest)
  list(APPEND publisher ${digest})
endforeach()
include(${SOURCE_DIR}/cmake/BuildSettings.cmake)
kanvel_build_settings(${OUTPUT} "${URL}" "${publisher}" 0)
