# The reader behaviour of the virtual readers (included from sim/CMakeLists.txt).
target_sources(kelvara_sim PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/readertables.cpp ${CMAKE_CURRENT_LIST_DIR}/readertables.h
  ${CMAKE_CURRENT_LIST_DIR}/virtualreader.cpp ${CMAKE_CURRENT_LIST_DIR}/virtualreader.h
  ${CMAKE_CURRENT_LIST_DIR}/virtualreadercontrol.cpp ${CMAKE_CURRENT_LIST_DIR}/virtualreadercontrol.h)
