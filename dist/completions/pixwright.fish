# fish completion for pixwright: the commands, their options, the values the options take
# (modes 1-5, presets 1-32, edges, qualities, separators) and file names.

set -l commands run rename info
set -l pictures '(__fish_complete_suffix .jpg .jpeg .png .bmp .JPG .JPEG .PNG .BMP)'

# The first word: a command, or a folder or pictures to open in the wizard (files by default).
complete -c pixwright -n "not __fish_seen_subcommand_from $commands" -a run -d 'Resize the pictures of FOLDER into a new folder on the desktop'
complete -c pixwright -n "not __fish_seen_subcommand_from $commands" -a rename -d 'Rename the pictures of FOLDER in place by the naming rule'
complete -c pixwright -n "not __fish_seen_subcommand_from $commands" -a info -d 'Show the camera information stored in pictures'
complete -c pixwright -n "not __fish_seen_subcommand_from $commands" -l version -d 'Print the version'
complete -c pixwright -s h -l help -d 'Show the help'

# pixwright run
set -l run "__fish_seen_subcommand_from run"
complete -c pixwright -n $run -l settings -r -F -d 'Read this settings file (never written)'
complete -c pixwright -n $run -l output-root -x -a '(__fish_complete_directories)' -d 'Use DIR instead of the desktop folder'
complete -c pixwright -n $run -l select -x -a $pictures -d 'Process only this listed picture'
complete -c pixwright -n $run -l types -x -a 'jpg png bmp heic avif webp tiff jpg,png,bmp jpg,png,bmp,heic,avif,webp,tiff' -d 'File types to list'
complete -c pixwright -n $run -l mode -x -a '1\t"centre cut" 2\t"fit inside" 3\t"one edge" 4\tstretch 5\t"per cent"' -d Mode
complete -c pixwright -n $run -l width -x -d 'Width (modes 1, 2, 4)'
complete -c pixwright -n $run -l height -x -d 'Height (modes 1, 2, 4)'
complete -c pixwright -n $run -l preset -x -a '(seq 1 32)' -d 'Photo print size'
complete -c pixwright -n $run -l edge -x -a 'long width height' -d 'Mode 3: the fixed edge'
complete -c pixwright -n $run -l length -x -d 'Mode 3: the length of that edge'
complete -c pixwright -n $run -l percent -x -d 'Mode 5: the percentage'
complete -c pixwright -n $run -l floor -x -d 'Mode 5: the least height when reducing'
complete -c pixwright -n $run -l cap -x -d 'Mode 5: the greatest width when enlarging'
complete -c pixwright -n $run -l enlarge -d 'Enlarge pictures smaller than the target'
complete -c pixwright -n $run -l limit -x -d 'Size limit of each file, e.g. 50K or 2M'
complete -c pixwright -n $run -l quality -x -a '(seq 5 5 100)' -d 'Saving quality'
complete -c pixwright -n $run -l keep-exif -d 'Keep the camera information'
complete -c pixwright -n $run -l text -x -d 'Text in the middle of each picture'
complete -c pixwright -n $run -l font -x -d 'Font, e.g. "宋体,10.5,bold"'
complete -c pixwright -n $run -l text-colour -x -d 'Text colour (#RRGGBB)'
complete -c pixwright -n $run -l inverse -d 'Inverse text'
complete -c pixwright -n $run -l text-back -x -d 'Background colour of inverse text (#RRGGBB)'
complete -c pixwright -n $run -l background -x -d 'Background colour, modes 1 and 2 (#RRGGBB)'
complete -c pixwright -n $run -l background-picture -x -a $pictures -d 'Background picture (modes 1, 2)'
complete -c pixwright -n $run -l rule -x -d 'Seven digits 0/1 switching the name parts on'
complete -c pixwright -n $run -l separator -x -a '. _ - + ~ @ \# \| \$ % ^ \& 空格' -d 'The separator'
complete -c pixwright -n $run -l yes -d 'Process the demo pictures without asking'
complete -c pixwright -n "$run; and not string match -q -- '-*' (commandline -ct)" -x -a '(__fish_complete_directories)'

# pixwright rename
set -l rename "__fish_seen_subcommand_from rename"
complete -c pixwright -n $rename -l select -x -a $pictures -d 'Rename only this listed picture'
complete -c pixwright -n $rename -l types -x -a 'jpg png bmp heic avif webp tiff jpg,png,bmp jpg,png,bmp,heic,avif,webp,tiff' -d 'The picture types listed'
complete -c pixwright -n $rename -l rule -x -d 'Seven digits 0/1 switching the name parts on'
complete -c pixwright -n $rename -l separator -x -a '. _ - + ~ @ \# \| \$ % ^ \& 空格' -d 'The separator'
complete -c pixwright -n $rename -l settings -r -F -d 'The remembered rule, folder and types come from FILE'
complete -c pixwright -n $rename -l yes -d 'Rename for real'
complete -c pixwright -n $rename -l undo -d 'Undo the last rename'
complete -c pixwright -n "$rename; and not string match -q -- '-*' (commandline -ct)" -x -a '(__fish_complete_directories)'

# pixwright info
complete -c pixwright -n "__fish_seen_subcommand_from info" -l settings -r -F -d 'Accepted like the other commands, not read'
