# Bash completion for arkivo: commands, subcommands, options and their values, and the job
# numbers of the data folder the command line points at. Needs nothing but bash itself, so it
# also works where the bash-completion package is not installed.

# The data folder as arkivo would choose it, so that completion reads the same job list.
_arkivo_data_folder() {
    local home=$1
    if [[ -n $home ]]; then
        [[ $home == "~/"* ]] && home=$HOME/${home#"~/"}
        printf '%s\n' "$home"
    elif [[ -n ${ARKIVO_HOME-} ]]; then
        printf '%s\n' "$ARKIVO_HOME"
    elif [[ -n ${XDG_DATA_HOME-} ]]; then
        printf '%s\n' "$XDG_DATA_HOME/arkivo"
    else
        printf '%s\n' "${HOME-}/.local/share/arkivo"
    fi
}

# The numbers `arkivo jobs list` shows. A data folder without a job list is left alone: listing
# it would create it.
_arkivo_job_numbers() {
    local program=$1 folder
    folder=$(_arkivo_data_folder "$2")
    [[ -f $folder/LastSetting.env ]] || return 0
    [[ $program == "~/"* ]] && program=$HOME/${program#"~/"}
    timeout 2 "$program" --home "$folder" jobs list 2>/dev/null |
        awk 'NR > 1 && $1 ~ /^[0-9]+$/ { print $1 }'
}

_arkivo() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=${COMP_WORDS[0]}
    local home="" command="" sub="" i word
    local -a positional=()

    # What is typed so far, leaving out options and the values they take.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            --home | --type | --base | --target | --job | --base-user | --base-password | \
                --base-password-file | --base-port | --target-user | --target-password | \
                --target-password-file | --target-port | --every | --daily | --catch-up | \
                --user | --port | --timeout)
                [[ $word == --home ]] && home=${COMP_WORDS[i + 1]}
                ((i++))
                ;;
            # Switches with `jobs set`, plain flags with `jobs add`.
            --zip | --sync-delete | --dot-folders) [[ $sub == set ]] && ((i++)) ;;
            --period | --weekly | --monthly) ((i += 2)) ;;
            -*) ;;
            *)
                if [[ -z $command ]]; then
                    command=$word
                elif [[ -z $sub && $command =~ ^(jobs|filters|options|ftp)$ ]]; then
                    sub=$word
                else
                    positional+=("$word")
                fi
                ;;
        esac
    done

    local numbers
    case $prev in
        --home)
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        --type)
            mapfile -t COMPREPLY < <(compgen -W "sync dif inc spd" -- "$cur")
            return
            ;;
        --zip | --sync-delete | --dot-folders)
            if [[ $sub == set ]]; then
                mapfile -t COMPREPLY < <(compgen -W "on off" -- "$cur")
                return
            fi
            ;;
        --base | --target)
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        --base-password-file | --target-password-file)
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --job)
            numbers=$(_arkivo_job_numbers "$program" "$home")
            mapfile -t COMPREPLY < <(compgen -W "$numbers" -- "$cur")
            return
            ;;
        --catch-up)
            mapfile -t COMPREPLY < <(compgen -W "on off" -- "$cur")
            return
            ;;
        --period | --base-user | --base-password | --base-port | --target-user | \
            --target-password | --target-port | --every | --daily | --weekly | --monthly | \
            --user | --port | --timeout)
            return
            ;;
    esac
    if [[ COMP_CWORD -ge 3 && ${COMP_WORDS[COMP_CWORD - 2]} =~ ^--(period|weekly|monthly)$ ]]; then
        return
    fi

    local words="" options="--help"
    local ftp_options="--base-user --base-password --base-password-file --base-port
        --base-active --target-user --target-password --target-password-file --target-port
        --target-active"
    case $command in
        "")
            words="jobs run verify filters options detect schedule ftp"
            options="--home --help --version"
            ;;
        jobs)
            case $sub in
                "") words="list add set remove check uncheck show" ;;
                add)
                    options="--help --type --zip --period $ftp_options"
                    if [[ $cur != -* && ${#positional[@]} -lt 2 ]]; then
                        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
                        return
                    fi
                    ;;
                set)
                    options="--help --type --zip --period --sync-delete --dot-folders --base
                        --target $ftp_options --base-passive --target-passive"
                    [[ ${#positional[@]} -eq 0 ]] &&
                        words=$(_arkivo_job_numbers "$program" "$home")
                    ;;
                remove | check | uncheck | show)
                    words=$(_arkivo_job_numbers "$program" "$home")
                    ;;
            esac
            ;;
        run)
            options="--help --dry-run --verify --quiet --json"
            words=$(_arkivo_job_numbers "$program" "$home")
            ;;
        verify)
            if [[ $cur != -* ]]; then
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                return
            fi
            ;;
        filters)
            case $sub in
                "") words="list add remove" ;;
                list | add | remove)
                    case ${#positional[@]} in
                        0) words=$(_arkivo_job_numbers "$program" "$home") ;;
                        1) words="exclude include" ;;
                    esac
                    ;;
            esac
            ;;
        ftp)
            case $sub in
                "") words="test ls" ;;
                test | ls) options="--help --user --port --active --timeout" ;;
            esac
            ;;
        options)
            case $sub in
                "") words="set scheduler" ;;
                scheduler)
                    options="--help --daily --weekly --monthly --catch-up"
                    [[ ${#positional[@]} -eq 0 ]] && words="on off"
                    ;;
                set)
                    options="--help --job --every"
                    case ${#positional[@]} in
                        0)
                            words="report report-created report-updated report-deleted
                                language auto-detect sync-delete dot-folders zip"
                            ;;
                        1)
                            if [[ ${positional[0]} == language ]]; then
                                words="english japanese korean"
                            else
                                words="on off"
                            fi
                            ;;
                    esac
                    ;;
            esac
            ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    fi
}

complete -F _arkivo arkivo
