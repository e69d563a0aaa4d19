# Files: create, find, folders, attributes, special folders, file descriptors behind handles.
pal_area(file
  SOURCES
    create_file.cpp
    directory.cpp
    file_attributes.cpp
    file_descriptor.cpp
    file_error.cpp
    file_share.cpp
    find_file.cpp
    special_folder.cpp
  TESTS
    test/create_file_test.cpp
    test/directory_test.cpp
    test/file_attributes_test.cpp
    test/file_descriptor_test.cpp
    test/find_file_test.cpp
    test/special_folder_test.cpp)
