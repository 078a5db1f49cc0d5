# Read by cpack: each package's description carries its own first line as its synopsis, so the
# project's one summary must not be put before it.
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
