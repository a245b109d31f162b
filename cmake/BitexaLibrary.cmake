# One folder, one library. Everything includes by path from the repository root ("align/X.h"),
# but a library's users see only the headers it declares public: those are linked into an
# include tree of the library's own in the build folder, and that tree is all that its users
# get on their include path. The library's own files see their whole folder, and its tests
# may link <name>_internals to see it too.
#
#   bitexa_library(<name> SOURCES <files…> [PUBLIC_HEADERS <headers…>])
function(bitexa_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;PUBLIC_HEADERS")
  add_library(${name} STATIC ${arg_SOURCES})

  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(public_tree ${PROJECT_BINARY_DIR}/include/${name})
  set(private_tree ${PROJECT_BINARY_DIR}/include-internal/${name})
  file(REMOVE_RECURSE ${public_tree} ${private_tree})

  foreach(header IN LISTS arg_PUBLIC_HEADERS)
    set(link ${public_tree}/${folder}/${header})
    get_filename_component(link_folder ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${link_folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${link} SYMBOLIC)
  endforeach()
  get_filename_component(private_parent ${private_tree}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${private_parent} ${public_tree})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${private_tree}/${folder} SYMBOLIC)

  target_include_directories(${name} PUBLIC ${public_tree} PRIVATE ${private_tree})

  add_library(${name}_internals INTERFACE)
  target_include_directories(${name}_internals INTERFACE ${private_tree})
  target_link_libraries(${name}_internals INTERFACE ${name})
endfunction()
