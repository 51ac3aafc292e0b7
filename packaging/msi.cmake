# The Windows installer, built by Debian's wixl from ravelle.wxs.in:
# `cmake --workflow --preset windows-package` makes
# ravelle-<version>-x86.msi in build/windows-package (target ravelle_msi).
# Windows users get the 32-bit programs, so only a 32-bit build has one.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  return()
endif()
find_program(WIXL wixl REQUIRED)

# wixl takes the files it packs from beside its source, by relative name:
# the source and everything the installer holds are gathered in one folder.
set(msi_folder ${CMAKE_CURRENT_BINARY_DIR}/msi)
set(msi_files)
set(msi_programs ravelle-cli)
if(TARGET ravelle)
  list(PREPEND msi_programs ravelle)
endif()
foreach(program ${msi_programs})
  # Symbols serve debugging only; users get the programs without them.
  set(staged ${msi_folder}/${program}.exe)
  add_custom_command(OUTPUT ${staged}
    COMMAND ${CMAKE_STRIP} --strip-all -o ${staged} $<TARGET_FILE:${program}>
    DEPENDS ${program}
    COMMENT "Stripping ${program}.exe for the installer")
  list(APPEND msi_files ${staged})
endforeach()
add_custom_command(OUTPUT ${msi_folder}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${msi_folder}/LICENSE.txt
  DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
add_custom_command(OUTPUT ${msi_folder}/ravelle.ico
  COMMAND ${CMAKE_COMMAND} -E copy ${RAVELLE_WINDOWS_ICON} ${msi_folder}/ravelle.ico
  DEPENDS ${RAVELLE_WINDOWS_ICON} ravelle_windows_icon)
list(APPEND msi_files ${msi_folder}/LICENSE.txt ${msi_folder}/ravelle.ico)

file(READ ravelle.wxs.in wxs)
if(NOT TARGET ravelle)
  foreach(part component feature)
    string(REGEX REPLACE "<!-- desktop program ${part} -->.*<!-- end of desktop program ${part} -->" ""
           wxs "${wxs}")
  endforeach()
endif()
file(CONFIGURE OUTPUT ${msi_folder}/ravelle.wxs CONTENT "${wxs}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ravelle.wxs.in)

set(msi ${CMAKE_BINARY_DIR}/ravelle-${PROJECT_VERSION}-x86.msi)
add_custom_command(OUTPUT ${msi}
  COMMAND ${WIXL} --arch x86 --define Version=${PROJECT_VERSION} --output ${msi} ravelle.wxs
  WORKING_DIRECTORY ${msi_folder}
  DEPENDS ${msi_folder}/ravelle.wxs ${msi_files}
  COMMENT "Building the installer ravelle-${PROJECT_VERSION}-x86.msi")
add_custom_target(ravelle_msi DEPENDS ${msi})
