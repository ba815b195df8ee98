<?php
// Installs WordPress into the private database once, from the command line:
//   php install.php <site dir> <url> <blog title> <user> <password>
// The user becomes an administrator with the given password (set again when
// the installation exists already), so it can upload files and publish.

if ( PHP_SAPI !== 'cli' || $argc !== 6 ) {
	fwrite( STDERR, "usage: php install.php <site dir> <url> <blog title> <user> <password>\n" );
	exit( 2 );
}
list( , $site, $url, $title, $user, $password ) = $argv;

$parts                  = parse_url( $url );
$_SERVER['HTTP_HOST']   = $parts['host'] . ( isset( $parts['port'] ) ? ':' . $parts['port'] : '' );
$_SERVER['SERVER_NAME'] = $parts['host'];
$_SERVER['SERVER_PORT'] = isset( $parts['port'] ) ? (string) $parts['port'] : '80';
$_SERVER['REQUEST_URI'] = '/';
$_SERVER['REQUEST_METHOD'] = 'GET';

define( 'WP_INSTALLING', true );
require $site . '/wp-load.php';
require_once ABSPATH . 'wp-admin/includes/upgrade.php';

$permalinks = '/%year%/%monthnum%/%day%/%postname%/';

if ( ! is_blog_installed() ) {
	// wp_install() would otherwise probe pretty permalinks over HTTP against a
	// server that may not answer yet; the router serves them, so set them here.
	$preset = function () use ( $permalinks ) {
		return $permalinks;
	};
	add_filter( 'pre_option_permalink_structure', $preset );
	$result = wp_install( $title, $user, $user . '@example.com', 0, '', $password );
	remove_filter( 'pre_option_permalink_structure', $preset );
	if ( empty( $result['user_id'] ) ) {
		fwrite( STDERR, "wp_install() did not create the user\n" );
		exit( 1 );
	}
}

update_option( 'blogname', $title );
update_option( 'ping_sites', '' );
update_option( 'default_pingback_flag', 0 );
update_option( 'default_ping_status', 'closed' );
update_option( 'blog_public', 0 );
update_option( 'show_avatars', 0 );
update_option( 'permalink_structure', $permalinks );
flush_rewrite_rules( false );

if ( get_stylesheet() !== 'twentytwentythree' ) {
	$theme = wp_get_theme( 'twentytwentythree' );
	if ( ! $theme->exists() ) {
		fwrite( STDERR, "theme twentytwentythree is missing (package wordpress-theme-twentytwentythree)\n" );
		exit( 1 );
	}
	switch_theme( 'twentytwentythree' );
}

$account = get_user_by( 'login', $user );
if ( ! $account ) {
	$id = wp_create_user( $user, $password, $user . '@example.com' );
	if ( is_wp_error( $id ) ) {
		fwrite( STDERR, 'cannot create user: ' . $id->get_error_message() . "\n" );
		exit( 1 );
	}
	$account = get_user_by( 'id', $id );
} elseif ( ! wp_check_password( $password, $account->user_pass, $account->ID ) ) {
	wp_set_password( $password, $account->ID );
}
$account->set_role( 'administrator' );

if ( ! is_blog_installed() || get_stylesheet() !== 'twentytwentythree' ) {
	fwrite( STDERR, "installation incomplete\n" );
	exit( 1 );
}
echo "installed\n";
