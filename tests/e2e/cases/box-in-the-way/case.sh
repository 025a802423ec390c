DRIVER_EXPECT=fail
check() {
    expect_driver_output 'a message box is open: title="错误"	text="读取测试数据时发生错误!!!"	buttons=ok'
    expect_driver_seconds_below 15
    expect_box 读取测试数据时发生错误!!! -
}
