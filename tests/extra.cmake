# The soak test runs for minutes, so it stays out of the default ctest run: the tests that
# gtest_discover_tests found in soak_gl_test are dropped again, and the binary is registered
# once per scenario under the configuration "soak" with the label "soak". Run them alone with
#   ctest -C soak -L soak        (or scripts/soak.sh)
if(TARGET soak_gl_test)
  get_property(_zv_includes DIRECTORY PROPERTY TEST_INCLUDE_FILES)
  list(FILTER _zv_includes EXCLUDE REGEX "/soak_gl_test\\[[0-9]+\\]_include\\.cmake$")
  set_property(DIRECTORY PROPERTY TEST_INCLUDE_FILES ${_zv_includes})

  foreach(_zv_case Soak.GalleryOfFourCellsWithNewDataEveryFrame
                   Soak.WindowsMadeAndDestroyedWithAnImagePlotAndHistogramEach)
    add_test(NAME ${_zv_case} CONFIGURATIONS soak
             COMMAND soak_gl_test --gtest_filter=${_zv_case})
    set_tests_properties(${_zv_case} PROPERTIES
      LABELS soak TIMEOUT 1200 ENVIRONMENT "${ZV_TEST_ENV}")
  endforeach()
endif()
