@echo off
echo Kovrin Demo 1.0
echo This program was installed by a package built with Kovrin.
pause
