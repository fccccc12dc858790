# bash completion for pixwright: the commands, their options, the values the options take
# (modes 1-5, presets 1-32, edges, qualities, separators) and file names.

_pixwright()
{
    local cur prev words cword
    _init_completion || return

    local command=""
    local i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            run | rename | info)
                command=${words[i]}
                break
                ;;
        esac
    done

    case $prev in
        --mode)
            COMPREPLY=($(compgen -W "1 2 3 4 5" -- "$cur"))
            return
            ;;
        --preset)
            COMPREPLY=($(compgen -W "$(seq 1 32)" -- "$cur"))
            return
            ;;
        --edge)
            COMPREPLY=($(compgen -W "long width height" -- "$cur"))
            return
            ;;
        --quality)
            COMPREPLY=($(compgen -W "$(seq 5 5 100)" -- "$cur"))
            return
            ;;
        --types)
            COMPREPLY=($(compgen -W "jpg png bmp heic avif webp tiff jpg,png,bmp jpg,png,bmp,heic,avif,webp,tiff" -- "$cur"))
            return
            ;;
        --separator)
            COMPREPLY=($(compgen -W ". _ - + ~ @ # | $ % ^ & 空格" -- "$cur"))
            return
            ;;
        --output-root)
            _filedir -d
            return
            ;;
        --settings)
            _filedir ini
            return
            ;;
        --background-picture | --select)
            _filedir '@(jpg|jpeg|png|bmp|heic|heif|avif|webp|tif|tiff|JPG|JPEG|PNG|BMP|HEIC|HEIF|AVIF|WEBP|TIF|TIFF)'
            return
            ;;
        --width | --height | --length | --percent | --floor | --cap | --limit | --text | \
            --font | --text-colour | --text-back | --background | --rule)
            return
            ;;
    esac

    local options
    case $command in
        run)
            options="--help --settings --output-root --select --types --mode --width --height
                --preset --edge --length --percent --floor --cap --enlarge --limit --quality
                --keep-exif --text --font --text-colour --inverse --text-back --background
                --background-picture --rule --separator --yes"
            ;;
        rename)
            options="--help --select --types --rule --separator --settings --yes --undo"
            ;;
        info)
            options="--help --settings"
            ;;
        *)
            options="--help --version"
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $command in
        run | rename)
            _filedir -d
            ;;
        info)
            _filedir
            ;;
        *)
            # The commands, or a folder or pictures to open in the wizard.
            _filedir
            COMPREPLY+=($(compgen -W "run rename info" -- "$cur"))
            ;;
    esac
} &&
    complete -F _pixwright pixwright
