# Image decoding: PNG files to premultiplied 32-bit pixels (libpng).
pal_area(image
  SOURCES
    png_decoder.cpp
  TESTS
    test/png_decoder_test.cpp)
