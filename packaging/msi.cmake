# The Windows installer, built by Debian's wixl from ravelle.wxs.in:
# `cmake --workflow --preset windows-package` makes
# ravelle-<version>-x86.msi in build/windows-package (target ravelle_msi).
# Windows users get the 32-bit programs, the desktop program among them:
# only such a build has an installer.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4 OR NOT TARGET ravelle)
  return()
endif()
find_program(WIXL wixl REQUIRED)

# wixl takes the files it packs from beside its source, by relative name:
# the source and everything the installer holds are gathered in one folder.
set(msi_folder ${CMAKE_CURRENT_BINARY_DIR}/msi)
set(msi_files)
foreach(program ravelle ravelle-cli)
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
# The icon of the Start-menu entry and of Installed apps is the program's
# own, rendered for its resources (target ravelle_win32_images).
set(program_icon ${CMAKE_BINARY_DIR}/win32/ravelle.ico)
add_custom_command(OUTPUT ${msi_folder}/ravelle.ico
  COMMAND ${CMAKE_COMMAND} -E copy ${program_icon} ${msi_folder}/ravelle.ico
  DEPENDS ${program_icon} ravelle_win32_images)
list(APPEND msi_files ${msi_folder}/LICENSE.txt ${msi_folder}/ravelle.ico)

configure_file(ravelle.wxs.in ${msi_folder}/ravelle.wxs @ONLY)

set(msi ${CMAKE_BINARY_DIR}/ravelle-${PROJECT_VERSION}-x86.msi)
add_custom_command(OUTPUT ${msi}
  COMMAND ${WIXL} --arch x86 --define Version=${PROJECT_VERSION} --output ${msi} ravelle.wxs
  WORKING_DIRECTORY ${msi_folder}
  DEPENDS ${msi_folder}/ravelle.wxs ${msi_files}
  COMMENT "Building the installer ravelle-${PROJECT_VERSION}-x86.msi")
add_custom_target(ravelle_msi DEPENDS ${msi})
