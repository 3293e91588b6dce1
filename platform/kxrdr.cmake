# The reader protocol library (included from platform/CMakeLists.txt).
add_library(kxrdr SHARED kxrdr.cpp kxrdr.h kxrdrhook.h kxport.h)
target_include_directories(kxrdr PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kxrdr PUBLIC kelvara_plain_settings PRIVATE kxtcp kxusb kxwire Threads::Threads)
