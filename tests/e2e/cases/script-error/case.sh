DRIVER_EXPECT=invalid
check() {
    expect_driver_output 'steps: line 4: unknown step "clik"'
    expect_box_count 0
    expect_temp_clean
}
