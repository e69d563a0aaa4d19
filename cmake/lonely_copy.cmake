# cmake -DSOURCE=file -DDEST=file -P lonely_copy.cmake
# Copies a program or library and makes its library search path its own folder only.
get_filename_component(dest_dir ${DEST} DIRECTORY)
file(MAKE_DIRECTORY ${dest_dir})
file(COPY_FILE ${SOURCE} ${DEST})
file(RPATH_SET FILE ${DEST} NEW_RPATH "$ORIGIN")
