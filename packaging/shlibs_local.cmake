# SPDX-License-Identifier: MIT
# Run by CPack once the files are staged, before it builds the .deb: dpkg-shlibdeps runs in the
# staging directory, where a debian/shlibs.local takes precedence over the libraries' own symbols
# and shlibs files. CPack removes debian/ before the package is built.
file(WRITE "${CPACK_TEMPORARY_DIRECTORY}/debian/shlibs.local" "libSDL-1.2 0 ${CPACK_YT_SDL_DEPENDS}\n")
