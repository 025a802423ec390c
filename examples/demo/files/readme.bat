@echo off
start "" notepad.exe "%~dp0หตร๗.txt"
