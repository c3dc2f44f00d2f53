# Fails when a file is larger than its budget: cmake -DBUDGET=<bytes> -DFILES=<a;b> -P size_check.cmake
foreach(file IN LISTS FILES)
  file(SIZE ${file} size)
  message("${file}: ${size} bytes (budget ${BUDGET})")
  if(size GREATER BUDGET)
    message(SEND_ERROR "${file} is larger than ${BUDGET} bytes")
  endif()
endforeach()
