# The driver's failure is this case's success; the runner reports it as an
# expected failure and the suite still passes.
DRIVER_EXPECT=fail
check() {
    expect_driver_output 'failed at line 5: no window with title="不存在的窗口" appeared within 3 s'
    expect_driver_output '#32770 "夹具安装测试"'
    expect_driver_output 'the program was still running and has been ended'
    expect_driver_seconds_below 15
    expect_no_file 'C:\夹具\标记.txt'
    expect_screenshots 1
}
