# Reliability tests: fuzz corpora and the crash driver.
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_CURRENT_BINARY_DIR}/fuzz)
