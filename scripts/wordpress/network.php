<?php
// Turns the installed single site into a subdirectory network and gives it a
// second site, once, from the command line:
//   php network.php convert <site dir> <url> <network title>
//       (wp-config.php still that of a single site)
//   php network.php sites <site dir> <url> <user> <second site's folder> <second site's title>
//       (wp-config.php that of the network)
// The user, administrator of the first site and the network's super admin,
// becomes administrator of the second too, so it can upload and publish there.

if ( PHP_SAPI !== 'cli' || $argc < 5 ) {
	fwrite( STDERR, "usage: php network.php convert|sites <site dir> <url> ...\n" );
	exit( 2 );
}
list( , $step, $site, $url ) = $argv;

$parts                     = parse_url( $url );
$domain                    = $parts['host'] . ( isset( $parts['port'] ) ? ':' . $parts['port'] : '' );
$_SERVER['HTTP_HOST']      = $domain;
$_SERVER['SERVER_NAME']    = $parts['host'];
$_SERVER['SERVER_PORT']    = isset( $parts['port'] ) ? (string) $parts['port'] : '80';
$_SERVER['REQUEST_URI']    = '/';
$_SERVER['REQUEST_METHOD'] = 'GET';

if ( 'convert' === $step && 5 === $argc ) {
	define( 'WP_INSTALLING', true );
	define( 'WP_INSTALLING_NETWORK', true );
	require $site . '/wp-load.php';
	require_once ABSPATH . 'wp-admin/includes/upgrade.php';
	if ( is_multisite() ) {
		fwrite( STDERR, "wp-config.php is a network's already\n" );
		exit( 1 );
	}
	// The network's tables are named before they exist.
	foreach ( $wpdb->tables( 'ms_global' ) as $table => $prefixed ) {
		$wpdb->$table = $prefixed;
	}
	install_network();
	$admin  = get_user_by( 'id', 1 );
	$result = populate_network( 1, $domain, $admin->user_email, $argv[4], '/', false );
	if ( is_wp_error( $result ) && 'siteid_exists' !== $result->get_error_code() ) {
		fwrite( STDERR, 'populate_network: ' . $result->get_error_message() . "\n" );
		exit( 1 );
	}
	echo "network\n";
	exit( 0 );
}

if ( 'sites' === $step && 7 === $argc ) {
	list( , , , , $user, $folder, $title ) = $argv;
	require $site . '/wp-load.php';
	if ( ! is_multisite() ) {
		fwrite( STDERR, "not a network\n" );
		exit( 1 );
	}
	$account = get_user_by( 'login', $user );
	if ( ! $account ) {
		fwrite( STDERR, "no user $user\n" );
		exit( 1 );
	}
	grant_super_admin( $account->ID );
	$path  = '/' . trim( $folder, '/' ) . '/';
	$found = get_sites(
		array(
			'path'       => $path,
			'network_id' => get_current_network_id(),
			'number'     => 1,
			'fields'     => 'ids',
		)
	);
	$id    = $found ? (int) $found[0] : 0;
	if ( ! $id ) {
		$id = wp_insert_site(
			array(
				'domain'     => $domain,
				'path'       => $path,
				'network_id' => get_current_network_id(),
				'user_id'    => $account->ID,
				'title'      => $title,
				'options'    => array( 'blog_public' => 0 ),
			)
		);
		if ( is_wp_error( $id ) ) {
			fwrite( STDERR, 'cannot create the site: ' . $id->get_error_message() . "\n" );
			exit( 1 );
		}
	}
	// WordPress cleans a new site's domain as it would a user name, which
	// drops the port; the site is on the network's host and port.
	$wpdb->update( $wpdb->blogs, array( 'domain' => $domain ), array( 'blog_id' => $id ) );
	clean_blog_cache( $id );
	add_user_to_blog( $id, $account->ID, 'administrator' );
	switch_to_blog( $id );
	update_option( 'blogname', $title );
	update_option( 'siteurl', untrailingslashit( $url . $path ) );
	update_option( 'home', untrailingslashit( $url . $path ) );
	update_option( 'permalink_structure', '/%year%/%monthnum%/%day%/%postname%/' );
	update_option( 'default_pingback_flag', 0 );
	update_option( 'default_ping_status', 'closed' );
	flush_rewrite_rules( false );
	restore_current_blog();
	echo "$id\n";
	exit( 0 );
}

fwrite( STDERR, "usage: php network.php convert|sites <site dir> <url> ...\n" );
exit( 2 );
