/*
 * The plug-in property list ('PiPL'): the resource through which the
 * application finds an effect before loading its code. A version, a count and
 * the properties; each property is its vendor, its key, an index, the length
 * of its data without padding, and the data padded to a multiple of four
 * bytes. Only the properties an effect bundle needs are declared here, all
 * in the standard vendor space '8BIM'.
 */

type 'PiPL' {
    longint = 0;                                    /* format version */
    longint = $$CountOf(properties);
    array properties {
        switch {
        case Kind:                                  /* the kind of plug-in, e.g. 'eFKT' for an effect */
            longint = '8BIM';
            key longint = 'kind';
            longint = 0;
            longint = 4;
            literal longint;

        case Name:                                  /* name in the Effect menu */
            longint = '8BIM';
            key longint = 'name';
            longint = 0;
            longint = (nameEnd[$$ArrayIndex(properties)] - nameStart[$$ArrayIndex(properties)]) / 8;
          nameStart:
            pstring;
          nameEnd:
            align long;

        case Category:                              /* submenu of the Effect menu */
            longint = '8BIM';
            key longint = 'catg';
            longint = 0;
            longint = (catgEnd[$$ArrayIndex(properties)] - catgStart[$$ArrayIndex(properties)]) / 8;
          catgStart:
            pstring;
          catgEnd:
            align long;

        case CodeMacARM64:                          /* entry function of the arm64 code */
            longint = '8BIM';
            key longint = 'ma64';
            longint = 0;
            longint = (ma64End[$$ArrayIndex(properties)] - ma64Start[$$ArrayIndex(properties)]) / 8;
          ma64Start:
            cstring;
          ma64End:
            align long;

        case CodeMacIntel64:                        /* entry function of the x86_64 code */
            longint = '8BIM';
            key longint = 'mi64';
            longint = 0;
            longint = (mi64End[$$ArrayIndex(properties)] - mi64Start[$$ArrayIndex(properties)]) / 8;
          mi64Start:
            cstring;
          mi64End:
            align long;

        case AE_PiPL_Version:                       /* major, minor */
            longint = '8BIM';
            key longint = 'ePVR';
            longint = 0;
            longint = 4;
            integer;
            integer;

        case AE_Effect_Spec_Version:                /* effect protocol the code was written for: major, minor */
            longint = '8BIM';
            key longint = 'eSVR';
            longint = 0;
            longint = 4;
            integer;
            integer;

        case AE_Effect_Version:                     /* the packed version the code declares at global setup */
            longint = '8BIM';
            key longint = 'eVER';
            longint = 0;
            longint = 4;
            longint;

        case AE_Effect_Info_Flags:
            longint = '8BIM';
            key longint = 'eINF';
            longint = 0;
            longint = 2;
            integer;
            align long;

        case AE_Effect_Global_OutFlags:             /* must equal the out flags of global setup */
            longint = '8BIM';
            key longint = 'eGLO';
            longint = 0;
            longint = 4;
            longint;

        case AE_Effect_Global_OutFlags_2:           /* must equal the out flags 2 of global setup */
            longint = '8BIM';
            key longint = 'eGL2';
            longint = 0;
            longint = 4;
            longint;

        case AE_Effect_Match_Name:                  /* the effect's identity in projects, never shown */
            longint = '8BIM';
            key longint = 'eMNA';
            longint = 0;
            longint = (eMNAEnd[$$ArrayIndex(properties)] - eMNAStart[$$ArrayIndex(properties)]) / 8;
          eMNAStart:
            pstring;
          eMNAEnd:
            align long;

        case AE_Reserved_Info:
            longint = '8BIM';
            key longint = 'aeFL';
            longint = 0;
            longint = 4;
            longint;
        };
    };
};
