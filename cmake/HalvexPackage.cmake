# What `cpack` makes of the install rules (scripts/package.sh):
#   Linux:   halvex_<version>_amd64.deb, its runtime dependencies on Debian's
#            Qt packages found by dpkg-shlibdeps from the programs themselves;
#   Windows: halvex-<version>-win32.zip, one folder holding Halvex.exe,
#            HXP.exe, HXC.exe, hxplan.exe and README.txt.
set(CPACK_PACKAGE_NAME halvex)
set(CPACK_PACKAGE_VENDOR "Halvex")
set(CPACK_PACKAGE_CONTACT "Halvex developers <developers@halvex.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Plans overhead distributed loudspeaker systems")
set(CPACK_PACKAGE_DESCRIPTION
  "Type a room's length and width, the listeners' ear level, the ceiling height\n\
and the SPL to reach at ear level, and pick a ceiling loudspeaker: the\n\
calculator HXP shows at every keystroke how many loudspeakers go along each\n\
wall, their spacing, the distance of the first from the walls, the power each\n\
needs and the 70 V tap. The cone calculator HXC lays cone loudspeakers out\n\
by their coverage angle and draws the plan. The launcher halvex starts either\n\
calculator with a room's values and takes them back; hxplan plans single\n\
rooms and whole buildings from the command line.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "halvex-${PROJECT_VERSION}-win32")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The one dependency no library names: the windows' dialog font.
  if(HALVEX_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
  endif()
endif()

include(CPack)
