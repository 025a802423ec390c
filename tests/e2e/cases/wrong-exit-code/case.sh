DRIVER_EXPECT=fail
check() {
    expect_driver_output 'failed at line 6: the program ended with exit code 30, expected 0'
}
