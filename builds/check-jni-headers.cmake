# Checks that each JNI header javac generated declares exactly the methods of
# the method list, so a Java class and the bridge cannot drift apart.
# cmake -DHEADERS=<folder> -DMETHODS=<name,name,...> -P check-jni-headers.cmake
string(REPLACE "," ";" expected "${METHODS}")
list(SORT expected)

file(GLOB headers "${HEADERS}/nist_sun_java_*.h")
if(NOT headers)
  message(FATAL_ERROR "javac generated no JNI headers in ${HEADERS}")
endif()
foreach(header IN LISTS headers)
  file(READ "${header}" text)
  string(REGEX MATCHALL "Java_nist_1sun_1java_[A-Za-z0-9]+_[A-Za-z0-9_]+" names "${text}")
  set(declared "")
  foreach(name IN LISTS names)
    string(REGEX REPLACE "^Java_nist_1sun_1java_[A-Za-z0-9]+_" "" method "${name}")
    list(APPEND declared "${method}")
  endforeach()
  list(REMOVE_DUPLICATES declared)
  list(SORT declared)
  if(NOT declared STREQUAL expected)
    message(FATAL_ERROR "${header} declares [${declared}]\nthe method list has [${expected}]")
  endif()
endforeach()
