# kivo_target_warnings(target): the project's warning flags for one of its own targets.
function(kivo_target_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(KIVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kivo_library(name EXPORT_NAME x SOURCES ... DEPENDS ...): one of the project's libraries.
# Headers live beside the sources under kivo/<unit-dir>/ and are included as "kivo/<dir>/X.h".
function(kivo_library name)
  cmake_parse_arguments(ARG "" "EXPORT_NAME;HEADER_DIR" "SOURCES;HEADERS;DEPENDS" ${ARGN})
  add_library(${name} ${ARG_SOURCES})
  add_library(KivoTarsel::${ARG_EXPORT_NAME} ALIAS ${name})
  set_target_properties(${name} PROPERTIES EXPORT_NAME ${ARG_EXPORT_NAME}
                                           OUTPUT_NAME kivo_${ARG_HEADER_DIR}
                                           POSITION_INDEPENDENT_CODE ON)
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${name} PUBLIC cxx_std_20)
  if(ARG_DEPENDS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  endif()
  kivo_target_warnings(${name})
  install(TARGETS ${name} EXPORT KivoTarselTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${ARG_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kivo/${ARG_HEADER_DIR})
endfunction()
